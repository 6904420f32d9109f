// The process entry: prints the program path and the start message, installs
// the cipher tables and hands over to the dispatch.
#include <cstdio>
#include <string>
#include <vector>

#include "cipher.h"
#include "dispatch.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include "unicode_windows.h"
#endif

namespace {

int run(std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::printf("%s\n", args.empty() ? "" : args[0].c_str());
    std::printf("Starting launcher");
    std::fflush(stdout);

    install_compiled_cipher_tables();
    return entry(static_cast<int>(args.size()), argv.data(), distributionkey, aes_whitebox_encrypt_cfb,
                 aes_whitebox_decrypt_cfb);
}

}  // namespace

#ifdef _WIN32
// The narrow arguments of the C runtime are in the system code page; take the
// wide ones and pass UTF-8 on.
int wmain(int argc, wchar_t** wargv) {
    // The bytes we print are the bytes the caller gets: no CRLF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(launcherwindows::unicode::from_wide(wargv[i]));
    return run(args);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    return run(args);
}
#endif
