// Imported by loader_a.dll: found only when the loader looks beside loader_a.
extern "C" __declspec(dllexport) int loader_b_value() { return 41; }
