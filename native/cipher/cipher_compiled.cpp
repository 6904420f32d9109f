// The tables and the distribution key compiled into this executable.
#include <cstring>

#include "cipher/cipher.h"
#include "cipher/whitebox.h"

extern "C" const unsigned char launcher_whitebox_tables[];
extern "C" const unsigned char launcher_distribution_key[48];

void install_compiled_cipher_tables() { whitebox::install_tables_blob(launcher_whitebox_tables); }

extern "C" void LAUNCHER_CDECL distributionkey(unsigned char* out) {
    std::memcpy(out, launcher_distribution_key, sizeof launcher_distribution_key);
}
