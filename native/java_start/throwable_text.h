#pragma once
// What an uncaught exception says about itself, read through JNI after it was
// taken off the thread, so that nothing thrown while asking escapes.
#include <jni.h>

#include <string>

struct ThrowableText {
    std::string description;  // its toString(); empty when that could not be had
    std::string stack_trace;  // printStackTrace's text, lines ended by "\n"; empty likewise
};

// No exception may be pending; none is pending afterwards.
ThrowableText describe_throwable(JNIEnv* env, jthrowable throwable);
// Its toString() only, under the same rules.
std::string throwable_string(JNIEnv* env, jthrowable throwable);
