// The stand-in runtime's own libraries in jre\bin, for tests only (never
// shipped), built once per part:
//   crtdouble.dll     its C runtime, imported by jvm.dll (MSVCR100.dll in a real JRE)
//   javadouble.dll    a library the runtime loads later by full path (java.dll),
//                     which imports
//   verifydouble.dll  another library there (verify.dll)
// Made-up names, so that no DLL of Wine's or of the system can stand in.
#if defined(RUNTIME_PART_JAVA)
extern "C" __declspec(dllimport) int verifydouble_part();
extern "C" __declspec(dllexport) int javadouble_part() { return verifydouble_part() + 1; }
#elif defined(RUNTIME_PART_VERIFY)
extern "C" __declspec(dllexport) int verifydouble_part() { return 2; }
#else
extern "C" __declspec(dllexport) int crtdouble_part() { return 1; }
#endif
