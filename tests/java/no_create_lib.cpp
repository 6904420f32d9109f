// A shared library that loads but has no JNI_CreateJavaVM.
extern "C" int java_test_no_create_marker() { return 1; }
