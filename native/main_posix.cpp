#include "launcher_main.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    return launcher_main(args);
}
