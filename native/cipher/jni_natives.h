#pragma once
// The natives registered on every Java application's key-provider class.
#include <jni.h>

inline constexpr jint kCipherNativeCount = 3;

// externEncrypt, externDecrypt, externGetEncryptedDistributionKey, in that order.
JNINativeMethod* cipher_native_methods();
