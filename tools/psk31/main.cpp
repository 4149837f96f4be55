#include "Psk31Tool.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return tavrel::psk31::runPsk31Tool(args, std::cout, std::cerr);
}
