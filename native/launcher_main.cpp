#include "launcher_main.h"

#include <cstdio>

#include "cipher/cipher.h"
#include "dispatch/dispatch.h"

int launcher_main(std::vector<std::string>& args) {
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
