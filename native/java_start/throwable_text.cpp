#include "java_start/throwable_text.h"

#include <cstddef>

#include "common/unicode.h"

namespace {

// JNI hands out modified UTF-8 (U+0000 as C0 80, a character beyond U+FFFF as
// its two surrogates, each as three bytes); the log wants plain UTF-8.
std::string plain_utf8(const char* modified) {
    const auto* s = reinterpret_cast<const unsigned char*>(modified);
    std::string out;
    for (std::size_t i = 0; s[i] != 0;) {
        if (s[i] == 0xC0 && s[i + 1] == 0x80) {
            out.push_back('\0');
            i += 2;
        } else if (s[i] == 0xED && (s[i + 1] & 0xF0) == 0xA0 && s[i + 2] != 0 && s[i + 3] == 0xED &&
                   (s[i + 4] & 0xF0) == 0xB0 && s[i + 5] != 0) {
            const char32_t c = 0x10000 + ((char32_t{s[i + 1] & 0x0Fu} << 16) | (char32_t{s[i + 2] & 0x3Fu} << 10) |
                                          (char32_t{s[i + 4] & 0x0Fu} << 6) | char32_t{s[i + 5] & 0x3Fu});
            launcherwindows::unicode::append_utf8(out, c);
            i += 6;
        } else {
            out.push_back(static_cast<char>(s[i++]));
        }
    }
    return out;
}

// True, with the exception cleared, when the last call threw.
bool threw(JNIEnv* env) {
    if (!env->ExceptionCheck()) return false;
    env->ExceptionClear();
    return true;
}

std::string text_of(JNIEnv* env, jobject string) {
    if (!string) return {};
    const char* utf = env->GetStringUTFChars(static_cast<jstring>(string), nullptr);
    if (!utf) {
        (void)threw(env);
        return {};
    }
    std::string text = plain_utf8(utf);
    env->ReleaseStringUTFChars(static_cast<jstring>(string), utf);
    return text;
}

// The object's own toString(), which its class may override.
std::string to_string(JNIEnv* env, jobject object) {
    const jclass cls = env->GetObjectClass(object);
    const jmethodID method = cls ? env->GetMethodID(cls, "toString", "()Ljava/lang/String;") : nullptr;
    if (!method) {
        (void)threw(env);
        return {};
    }
    const jobject text = env->CallObjectMethod(object, method);
    if (threw(env)) return {};
    return text_of(env, text);
}

// printStackTrace into a StringWriter; each step runs only when the one
// before it succeeded, so no call is made with an exception pending.
std::string stack_trace(JNIEnv* env, jthrowable throwable) {
    const jclass writer_class = env->FindClass("java/io/StringWriter");
    const jmethodID writer_init = writer_class ? env->GetMethodID(writer_class, "<init>", "()V") : nullptr;
    const jobject writer = writer_init ? env->NewObject(writer_class, writer_init) : nullptr;
    const jclass printer_class = writer ? env->FindClass("java/io/PrintWriter") : nullptr;
    const jmethodID printer_init =
        printer_class ? env->GetMethodID(printer_class, "<init>", "(Ljava/io/Writer;)V") : nullptr;
    const jobject printer = printer_init ? env->NewObject(printer_class, printer_init, writer) : nullptr;
    const jclass cls = printer ? env->GetObjectClass(throwable) : nullptr;
    const jmethodID print = cls ? env->GetMethodID(cls, "printStackTrace", "(Ljava/io/PrintWriter;)V") : nullptr;
    if (!print) {
        (void)threw(env);
        return {};
    }
    env->CallVoidMethod(throwable, print, printer);
    if (threw(env)) return {};
    // A Windows JVM ends its lines with CR LF; the trace file adds its own CR.
    std::string text;
    for (const char c : to_string(env, writer)) {
        if (c != '\r') text.push_back(c);
    }
    return text;
}

// A stand-in runtime may leave functions out; a real one has them all.
bool has_functions(const JNIEnv* env) {
    const JNINativeInterface_* f = env->functions;
    return f && f->ExceptionCheck && f->ExceptionClear && f->GetObjectClass && f->GetMethodID &&
           f->CallObjectMethodV && f->GetStringUTFChars && f->ReleaseStringUTFChars && f->FindClass &&
           f->NewObjectV && f->CallVoidMethodV;
}

}  // namespace

ThrowableText describe_throwable(JNIEnv* env, jthrowable throwable) {
    if (!env || !throwable || !has_functions(env)) return {};
    ThrowableText text;
    text.description = to_string(env, throwable);
    text.stack_trace = stack_trace(env, throwable);
    return text;
}

std::string throwable_string(JNIEnv* env, jthrowable throwable) {
    if (!env || !throwable || !has_functions(env)) return {};
    return to_string(env, throwable);
}
