// The cipher natives inside a real JVM: registered with the launcher's table
// on a Java class that declares them, called through the JVM.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <jni.h>

#include <random>
#include <string>
#include <utility>

#include "cipher/cipher.h"
#include "cipher_test_support.h"
#include "cipher/jni_natives.h"
#include "cipher/whitebox.h"

using namespace cipher_test;

namespace {

constexpr std::string_view kKeyHex = "8f1e2d3c4b5a69788796a5b4c3d2e1f00f1e2d3c4b5a69788796a5b4c3d2e1f1";
constexpr const char* kEncryptLine = "  encrypt in cpp\n";

JNIEnv* g_env = nullptr;
jclass g_check = nullptr;

// One VM per process, made on first use and kept to the end.
void start_jvm() {
    if (g_env) return;
    const Bytes tables = wbgen::generate(key_from_hex(kKeyHex), "jvm-test");
    whitebox::install_tables_blob(tables.data());

    void* lib = dlopen(LAUNCHER_TEST_LIBJVM, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using CreateFn = jint(JNICALL*)(JavaVM**, void**, void*);
    auto create = reinterpret_cast<CreateFn>(dlsym(lib, "JNI_CreateJavaVM"));
    ASSERT_NE(create, nullptr);
    std::string class_path = "-Djava.class.path=" LAUNCHER_TEST_JAVA_CLASSES;
    std::string check_jni = "-Xcheck:jni";
    std::string heap = "-Xmx256m";
    std::string gc = "-XX:+UseSerialGC";
    JavaVMOption options[] = {{class_path.data(), nullptr}, {check_jni.data(), nullptr},
                              {heap.data(), nullptr}, {gc.data(), nullptr}};
    JavaVMInitArgs args{};
    args.version = JNI_VERSION_1_8;
    args.nOptions = 4;
    args.options = options;
    args.ignoreUnrecognized = JNI_FALSE;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    ASSERT_EQ(create(&vm, reinterpret_cast<void**>(&env), &args), JNI_OK);
    jclass local = env->FindClass("CipherNativesCheck");
    ASSERT_NE(local, nullptr);
    ASSERT_EQ(env->RegisterNatives(local, cipher_native_methods(), kCipherNativeCount), JNI_OK);
    g_check = static_cast<jclass>(env->NewGlobalRef(local));
    g_env = env;
}

// What a native call gave Java: an array, null, or an exception.
struct Outcome {
    bool null = false;
    Bytes bytes;
    std::string exception;  // "class: message"
};

std::string java_string(JNIEnv* env, jstring s) {
    if (!s) return "null";
    const char* chars = env->GetStringUTFChars(s, nullptr);
    std::string out = chars;
    env->ReleaseStringUTFChars(s, chars);
    return out;
}

Outcome outcome_of(JNIEnv* env, jobject result) {
    Outcome o;
    if (jthrowable t = env->ExceptionOccurred()) {
        env->ExceptionClear();
        jclass throwable = env->FindClass("java/lang/Throwable");
        jclass klass = env->FindClass("java/lang/Class");
        jobject cls = env->CallObjectMethod(t, env->GetMethodID(throwable, "getClass", "()Ljava/lang/Class;"));
        env->ExceptionCheck();
        auto name = static_cast<jstring>(
            env->CallObjectMethod(cls, env->GetMethodID(klass, "getName", "()Ljava/lang/String;")));
        env->ExceptionCheck();
        auto message = static_cast<jstring>(
            env->CallObjectMethod(t, env->GetMethodID(throwable, "getMessage", "()Ljava/lang/String;")));
        env->ExceptionCheck();
        o.exception = java_string(env, name) + ": " + java_string(env, message);
        return o;
    }
    if (!result) {
        o.null = true;
        return o;
    }
    auto array = static_cast<jbyteArray>(result);
    o.bytes.resize(static_cast<std::size_t>(env->GetArrayLength(array)));
    env->GetByteArrayRegion(array, 0, static_cast<jsize>(o.bytes.size()), reinterpret_cast<jbyte*>(o.bytes.data()));
    return o;
}

class CipherNatives : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(start_jvm());
        env = g_env;
        ASSERT_EQ(env->PushLocalFrame(512), JNI_OK);
    }
    void TearDown() override {
        if (env) env->PopLocalFrame(nullptr);
    }

    // A direct buffer over the vector's bytes (which stay where they are).
    jobject direct(Bytes& storage) {
        static unsigned char empty;
        return env->NewDirectByteBuffer(storage.empty() ? &empty : storage.data(),
                                        static_cast<jlong>(storage.size()));
    }

    jobject heap(const Bytes& bytes) {
        jbyteArray array = env->NewByteArray(static_cast<jsize>(bytes.size()));
        env->SetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()),
                                reinterpret_cast<const jbyte*>(bytes.data()));
        jclass buffer = env->FindClass("java/nio/ByteBuffer");
        jobject wrapped = env->CallStaticObjectMethod(
            buffer, env->GetStaticMethodID(buffer, "wrap", "([B)Ljava/nio/ByteBuffer;"), array);
        env->ExceptionCheck();
        return wrapped;
    }

    // Calls a native through the JVM; what it printed goes to *printed.
    Outcome call(const char* name, jobject iv, jobject data, std::string* printed) {
        testing::internal::CaptureStdout();
        jmethodID m = env->GetStaticMethodID(g_check, name, "(Ljava/nio/ByteBuffer;Ljava/nio/ByteBuffer;)[B");
        jobject result = env->CallStaticObjectMethod(g_check, m, iv, data);
        *printed = testing::internal::GetCapturedStdout();
        return outcome_of(env, result);
    }

    Bytes reference(const Bytes& iv, const Bytes& data, bool encrypt) {
        return openssl_run(EVP_aes_256_cfb128(), key_from_hex(kKeyHex), iv.data(), data, encrypt);
    }

    JNIEnv* env = nullptr;
};

}  // namespace

TEST_F(CipherNatives, EncryptAndDecryptWholeDirectBuffers) {
    std::mt19937 rng(1);
    // Data sizes, the last filled in many chunks, the last of them partial;
    // an IV buffer longer than 16 bytes gives its first 16.
    const std::pair<std::size_t, std::size_t> rows[] = {
        {0, 16}, {16, 16}, {4096, 16}, {(std::size_t{3} << 20) + 48, 16}, {4096, 32}};
    for (const auto& [n, iv_size] : rows) {
        Bytes iv = random_bytes(rng, iv_size);
        Bytes plain = random_bytes(rng, n);
        const Bytes iv_before = iv;
        const Bytes plain_before = plain;
        // The buffer's position and limit are not consulted.
        jobject data = direct(plain);
        jclass buffer = env->FindClass("java/nio/Buffer");
        env->CallObjectMethod(data, env->GetMethodID(buffer, "limit", "(I)Ljava/nio/Buffer;"),
                              static_cast<jint>(n / 2));
        ASSERT_FALSE(env->ExceptionCheck());

        std::string printed;
        const Outcome encrypted = call("externEncrypt", direct(iv), data, &printed);
        ASSERT_EQ(encrypted.exception, "") << n;
        ASSERT_FALSE(encrypted.null) << n;
        EXPECT_EQ(to_hex(encrypted.bytes), to_hex(reference(iv, plain, true))) << n;
        EXPECT_EQ(printed, kEncryptLine);
        EXPECT_EQ(iv, iv_before);
        EXPECT_EQ(plain, plain_before);

        Bytes cipher = encrypted.bytes;
        const Outcome decrypted = call("externDecrypt", direct(iv), direct(cipher), &printed);
        ASSERT_EQ(decrypted.exception, "") << n;
        EXPECT_EQ(decrypted.bytes, plain) << n;
        EXPECT_EQ(printed, "");
        EXPECT_EQ(cipher, encrypted.bytes);
    }
}

TEST_F(CipherNatives, PartialBlockIsDecryptedButNotEncrypted) {
    std::mt19937 rng(2);
    Bytes iv = random_bytes(rng, 16);
    Bytes data = random_bytes(rng, 20);
    std::string printed;
    const Outcome encrypted = call("externEncrypt", direct(iv), direct(data), &printed);
    EXPECT_EQ(encrypted.exception, "");
    EXPECT_TRUE(encrypted.null);
    EXPECT_EQ(printed, std::string(kEncryptLine) + "    Error - plaintext length (20) is not a multiple of 16\n");

    const Outcome decrypted = call("externDecrypt", direct(iv), direct(data), &printed);
    ASSERT_EQ(decrypted.exception, "");
    EXPECT_EQ(to_hex(decrypted.bytes), to_hex(reference(iv, data, false)));
    EXPECT_EQ(printed, "");
}

TEST_F(CipherNatives, BuffersTheyCannotReadRaiseIllegalArgument) {
    std::mt19937 rng(3);
    Bytes iv = random_bytes(rng, 16);
    Bytes short_iv = random_bytes(rng, 15);
    Bytes data = random_bytes(rng, 32);
    const std::string iae = "java.lang.IllegalArgumentException: ";
    const struct {
        const char* what;
        jobject iv;
        jobject data;
        std::string exception;
    } cases[] = {
        {"heap data", direct(iv), heap(data), iae + "data buffer is not a direct buffer"},
        {"heap IV", heap(iv), direct(data), iae + "IV buffer is not a direct buffer"},
        {"null data", direct(iv), nullptr, iae + "data buffer is null"},
        {"null IV", nullptr, direct(data), iae + "IV buffer is null"},
        {"short IV", direct(short_iv), direct(data), iae + "IV buffer holds 15 bytes, 16 are needed"},
    };
    for (const auto& c : cases) {
        for (const char* native : {"externEncrypt", "externDecrypt"}) {
            std::string printed;
            const Outcome o = call(native, c.iv, c.data, &printed);
            EXPECT_EQ(o.exception, c.exception) << native << " " << c.what;
            EXPECT_EQ(printed, native == std::string("externEncrypt") ? kEncryptLine : "") << native << " " << c.what;
        }
    }
}

TEST_F(CipherNatives, DistributionKeyIsTheSameOnEveryCall) {
    jmethodID m = env->GetStaticMethodID(g_check, "externGetEncryptedDistributionKey", "()[B");
    testing::internal::CaptureStdout();
    const Outcome first = outcome_of(env, env->CallStaticObjectMethod(g_check, m));
    const Outcome second = outcome_of(env, env->CallStaticObjectMethod(g_check, m));
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(first.exception, "");
    EXPECT_EQ(to_hex(first.bytes), LAUNCHER_TEST_DISTRIBUTION_KEY_HEX);
    EXPECT_EQ(second.bytes, first.bytes);
    EXPECT_EQ(printed, "getting encrypted distribution key in cpp\ngetting encrypted distribution key in cpp\n");
}

TEST_F(CipherNatives, EightJavaThreadsGetTheSingleThreadedResults) {
    const Bytes key = from_hex(kKeyHex);
    jbyteArray key_array = env->NewByteArray(32);
    env->SetByteArrayRegion(key_array, 0, 32, reinterpret_cast<const jbyte*>(key.data()));
    jmethodID m = env->GetStaticMethodID(g_check, "concurrentRoundTrips", "([BII)Ljava/lang/String;");
    ASSERT_NE(m, nullptr);
    constexpr int kThreads = 8;
    constexpr int kIterations = 40;
    testing::internal::CaptureStdout();
    auto failure = static_cast<jstring>(env->CallStaticObjectMethod(g_check, m, key_array, kThreads, kIterations));
    const std::string printed = testing::internal::GetCapturedStdout();
    const Outcome o = outcome_of(env, nullptr);
    ASSERT_EQ(o.exception, "");
    EXPECT_EQ(failure, nullptr) << java_string(env, failure);
    // Five single-threaded encryptions first, then one per thread and iteration;
    // lines of different threads may come in any order but stay whole.
    std::string expected;
    for (int i = 0; i < 5 + kThreads * kIterations; ++i) expected += kEncryptLine;
    EXPECT_EQ(printed, expected);
}

TEST_F(CipherNatives, SixteenJavaThreadsOfRandomSizesGetTheSingleThreadedResults) {
    const Bytes key = from_hex(kKeyHex);
    jbyteArray key_array = env->NewByteArray(32);
    env->SetByteArrayRegion(key_array, 0, 32, reinterpret_cast<const jbyte*>(key.data()));
    jmethodID m = env->GetStaticMethodID(g_check, "randomSizeRoundTrips", "([BIIIJ)Ljava/lang/String;");
    ASSERT_NE(m, nullptr);
    // 5,000 calls a thread, half of them encryptions, on 16 to 512 bytes.
    constexpr int kThreads = 16, kCalls = 5000, kCases = 40;
    const jlong seed = std::random_device{}();
    testing::internal::CaptureStdout();
    auto failure = static_cast<jstring>(
        env->CallStaticObjectMethod(g_check, m, key_array, kThreads, kCalls, kCases, seed));
    const std::string printed = testing::internal::GetCapturedStdout();
    const Outcome o = outcome_of(env, nullptr);
    ASSERT_EQ(o.exception, "");
    EXPECT_EQ(failure, nullptr) << java_string(env, failure) << " (seed " << seed << ")";
    std::string expected;
    for (int i = 0; i < kThreads * (kCases + kCalls / 2); ++i) expected += kEncryptLine;
    EXPECT_EQ(printed, expected);
}
