#pragma once
// POSIX's <dlfcn.h> for Windows, over the system loader (dlfcn.cpp). Linux
// has these calls in its C library; this folder is on the include path of
// Windows builds only.

#define RTLD_LAZY 0x1
#define RTLD_NOW 0x2
#define RTLD_GLOBAL 0x100
#define RTLD_LOCAL 0x0

extern "C" {
// Loads a library from a UTF-8 path; the mode is ignored. "/" is read as "\".
// A path with a separator is made absolute against the working directory and
// loaded with the altered search path, so that the DLLs beside the library
// are found (the JVM needs this). A null path gives the program's own module.
// No critical-error message box is shown while loading. Null on failure,
// with the loader's error code left in GetLastError.
void* dlopen(const char* path, int mode);
// The address of an exported symbol, or null.
void* dlsym(void* handle, const char* symbol);
// Unloads a library: 0, or non-zero on failure.
int dlclose(void* handle);
// The text of the calling thread's last failure with the system's message,
// or null when there was none since the last call (POSIX).
char* dlerror(void);
}
