#pragma once
// Signatures of the cipher services handed to entry and to the native library.
#include <cstdint>

// 32-bit x86 has several calling conventions and the callers expect cdecl,
// whatever the compiler's default; other targets have one.
#if defined(__i386__)
#define LAUNCHER_CDECL __attribute__((cdecl))
#else
#define LAUNCHER_CDECL
#endif

extern "C" {
// Writes the 48-byte encrypted distribution key.
typedef void(LAUNCHER_CDECL* launcher_distribution_key_fn)(unsigned char* out);
// A CFB mode: IV of 16 bytes, input, length, output.
typedef void(LAUNCHER_CDECL* launcher_cfb_fn)(const unsigned char* iv, const unsigned char* in,
                                              std::uint32_t length, unsigned char* out);
}
