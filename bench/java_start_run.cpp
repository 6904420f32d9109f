// One Java start from a record file, as the launcher's main does it:
//   java_start_run <record file>        starts "ormic" with that record
//   java_start_run --class-path         prints the value of ormic's class-path option
// For scripts/java_start_compare.sh.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cipher/cipher.h"
#include "init/classpath.h"
#include "init/java_app_start.h"
#include "log/logger.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: java_start_run <record file> | --class-path\n";
        return 2;
    }
    if (std::string(argv[1]) == "--class-path") {
        const auto option = launcherwindows::init::build_class_path_option("ormic");
        std::cout << option.value().substr(std::string("-Djava.class.path=").size()) << "\n";
        return 0;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream record;
    record << in.rdbuf();
    install_compiled_cipher_tables();
    launcherwindows::logger::detail::install("launcher-logs/launcher.log");
    const auto result = launcherwindows::init::configure_and_start_java_app("ormic", record.str());
    if (!result) std::cerr << result.error() << "\n";
    return result ? 0 : 1;
}
