#pragma once
// What the stand-in libenrolclientsvc.dll records, shared with the tests that
// read it. One line per event in enrolclientsvc_record.txt beside the DLL (or
// at %ENROLCLIENTSVC_RECORD%):
//   attach
//   call argument=<hex> length=<n> thread_error_mode=<n> process_error_mode=<n>
//        distribution_key=<hex> decrypted=<hex>            (one line)
//   detach unload      (FreeLibrary)   |   detach exit   (process end)
// windowsEntry leaves a thread running in the library's code, and writes
// %ENROLCLIENTSVC_STDERR% and a line end to standard error when it is set.
#include <cstdint>

namespace enrolclientsvc {

inline constexpr const char* kRecordFile = "enrolclientsvc_record.txt";
inline constexpr const char* kRecordEnv = "ENROLCLIENTSVC_RECORD";

// The entry point decrypts this with the function it is given. Two blocks,
// since CFB decryption and encryption agree on the first block.
inline constexpr unsigned char kIv[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                          0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
inline constexpr unsigned char kCiphertext[32] = {
    0x5a, 0x01, 0xe7, 0x3c, 0x90, 0x42, 0x1b, 0xd8, 0x66, 0xaf, 0x3e, 0x71, 0x0c, 0xb5, 0x29, 0xf4,
    0x83, 0x17, 0xcc, 0x6e, 0x2d, 0xf0, 0x95, 0x48, 0xba, 0x0e, 0x73, 0xd1, 0x5f, 0x24, 0x8a, 0xe9};

// What windowsEntry returns; the launcher must not read it.
inline constexpr int kEntryResult = -7;

}  // namespace enrolclientsvc
