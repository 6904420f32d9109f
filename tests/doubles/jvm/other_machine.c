/* A Java runtime built for the other machine (x86-64 beside the 32-bit
   launcher, i386 beside the 64-bit build): the loader must refuse it. */
__declspec(dllexport) int JNI_CreateJavaVM(void **vm, void **env, void *args) {
    (void)vm;
    (void)env;
    (void)args;
    return -1;
}
