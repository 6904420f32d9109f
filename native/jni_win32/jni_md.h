// Machine-dependent JNI types for the MinGW build; the JDK ships only the
// Linux variant.
#ifndef LAUNCHER_JNI_MD_H
#define LAUNCHER_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#ifdef __cplusplus
static_assert(sizeof(jint) == 4, "jint must be 32 bits");
static_assert(sizeof(jlong) == 8, "jlong must be 64 bits");
#if defined(__i386__)
#include <type_traits>
// A JVM calls natives and exports JNI_CreateJavaVM with __stdcall on 32-bit
// Windows; a cdecl mismatch corrupts the stack on the first call.
static_assert(std::is_same_v<void(JNICALL*)(), void(__stdcall*)()> &&
                  !std::is_same_v<void(JNICALL*)(), void(__cdecl*)()>,
              "JNICALL must be __stdcall on 32-bit Windows");
#endif
#endif

#endif
