// A DLL that loads but exports no JNI_CreateJavaVM.
extern "C" __declspec(dllexport) int jvm_without_create_marker() { return 1; }
