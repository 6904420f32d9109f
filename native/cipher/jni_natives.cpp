// The cipher natives of the Java applications' key-provider class.
#include "cipher/jni_natives.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "cipher/cipher.h"

namespace {

constexpr jlong kIvBytes = 16;
constexpr jsize kDistributionKeyBytes = 48;

void throw_java(JNIEnv* env, const char* class_name, const std::string& message) {
    // When the class cannot be found, FindClass leaves its own error pending.
    if (jclass c = env->FindClass(class_name)) env->ThrowNew(c, message.c_str());
}

void throw_illegal_argument(JNIEnv* env, const std::string& message) {
    throw_java(env, "java/lang/IllegalArgumentException", message);
}

// The capacity of a direct buffer, or -1 with an IllegalArgumentException
// pending. GetDirectBufferAddress must not see a null reference.
jlong direct_capacity(JNIEnv* env, jobject buffer, const char* what) {
    if (!buffer) {
        throw_illegal_argument(env, std::string(what) + " buffer is null");
        return -1;
    }
    const jlong capacity = env->GetDirectBufferCapacity(buffer);
    if (capacity < 0) {
        throw_illegal_argument(env, std::string(what) + " buffer is not a direct buffer");
        return -1;
    }
    if (capacity > std::numeric_limits<std::int32_t>::max()) {
        throw_illegal_argument(env, std::string(what) + " buffer holds more than 2^31-1 bytes");
        return -1;
    }
    return capacity;
}

// The bytes of a direct buffer of the given capacity, or null with an
// exception pending.
const unsigned char* direct_address(JNIEnv* env, jobject buffer, jlong capacity, const char* what) {
    static const unsigned char nothing = 0;
    auto* address = static_cast<const unsigned char*>(env->GetDirectBufferAddress(buffer));
    if (address) return address;
    if (capacity == 0) return &nothing;
    throw_illegal_argument(env, std::string(what) + " buffer has no address");
    return nullptr;
}

// Bytes a call works on at a time: the Java array is made first and filled
// through this buffer, so a call holds the data once plus this much.
constexpr std::uint32_t kChunkBytes = 4096;
static_assert(kChunkBytes % 16 == 0);

// Runs a CFB function over the whole capacity of the data buffer under the
// first 16 bytes of the IV buffer; the result as a new byte array, or null
// with an exception pending (OutOfMemoryError when the array cannot be had,
// before any cipher work). Each chunk's IV is the last ciphertext block
// before it, so the chunks continue one stream.
jbyteArray run_cfb(JNIEnv* env, launcher_cfb_fn mode, bool encrypting, jobject iv_buffer, jobject data_buffer,
                   jlong n) {
    const jlong iv_capacity = direct_capacity(env, iv_buffer, "IV");
    if (iv_capacity < 0) return nullptr;
    if (iv_capacity < kIvBytes) {
        throw_illegal_argument(env, "IV buffer holds " + std::to_string(iv_capacity) + " bytes, 16 are needed");
        return nullptr;
    }
    const unsigned char* iv = direct_address(env, iv_buffer, iv_capacity, "IV");
    if (!iv) return nullptr;
    const unsigned char* data = direct_address(env, data_buffer, n, "data");
    if (!data) return nullptr;

    const auto length = static_cast<std::uint32_t>(n);
    jbyteArray result = env->NewByteArray(static_cast<jsize>(length));
    if (!result) {
        // The JVM has thrown OutOfMemoryError; a JNI that did not gets one.
        if (!env->ExceptionCheck()) {
            throw_java(env, "java/lang/OutOfMemoryError",
                       "cannot allocate a byte array of " + std::to_string(length) + " bytes for the cipher output");
        }
        return nullptr;
    }
    unsigned char chunk[kChunkBytes];
    unsigned char chunk_iv[16];
    std::memcpy(chunk_iv, iv, sizeof chunk_iv);
    for (std::uint32_t done = 0; done < length;) {
        const std::uint32_t size = length - done < kChunkBytes ? length - done : kChunkBytes;
        mode(chunk_iv, data + done, size, chunk);
        env->SetByteArrayRegion(result, static_cast<jsize>(done), static_cast<jsize>(size),
                                reinterpret_cast<const jbyte*>(chunk));
        if (env->ExceptionCheck()) return nullptr;
        const unsigned char* ciphertext = encrypting ? chunk : data + done;
        if (size == kChunkBytes) std::memcpy(chunk_iv, ciphertext + size - 16, sizeof chunk_iv);
        done += size;
    }
    return result;
}

jbyteArray JNICALL encrypt(JNIEnv* env, jobject, jobject iv_buffer, jobject data_buffer) {
    std::printf("  encrypt in cpp\n");
    std::fflush(stdout);
    const jlong n = direct_capacity(env, data_buffer, "data");
    if (n < 0) return nullptr;
    if (n % 16 != 0) {
        std::printf("    Error - plaintext length (%d) is not a multiple of 16\n", static_cast<int>(n));
        std::fflush(stdout);
        return nullptr;
    }
    return run_cfb(env, aes_whitebox_encrypt_cfb, true, iv_buffer, data_buffer, n);
}

jbyteArray JNICALL decrypt(JNIEnv* env, jobject, jobject iv_buffer, jobject data_buffer) {
    const jlong n = direct_capacity(env, data_buffer, "data");
    if (n < 0) return nullptr;
    return run_cfb(env, aes_whitebox_decrypt_cfb, false, iv_buffer, data_buffer, n);
}

jbyteArray JNICALL getEncryptedDistributionKey(JNIEnv* env, jobject) {
    std::printf("getting encrypted distribution key in cpp\n");
    std::fflush(stdout);
    unsigned char key[kDistributionKeyBytes];
    distributionkey(key);
    jbyteArray result = env->NewByteArray(kDistributionKeyBytes);
    if (result) env->SetByteArrayRegion(result, 0, kDistributionKeyBytes, reinterpret_cast<const jbyte*>(key));
    return result;
}

char kEncryptName[] = "externEncrypt";
char kDecryptName[] = "externDecrypt";
char kKeyName[] = "externGetEncryptedDistributionKey";
char kBufferSignature[] = "(Ljava/nio/ByteBuffer;Ljava/nio/ByteBuffer;)[B";
char kKeySignature[] = "()[B";

JNINativeMethod g_methods[kCipherNativeCount] = {
    {kEncryptName, kBufferSignature, reinterpret_cast<void*>(&encrypt)},
    {kDecryptName, kBufferSignature, reinterpret_cast<void*>(&decrypt)},
    {kKeyName, kKeySignature, reinterpret_cast<void*>(&getEncryptedDistributionKey)},
};

}  // namespace

JNINativeMethod* cipher_native_methods() { return g_methods; }
