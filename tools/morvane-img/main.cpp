#include <iostream>
#include <string>
#include <vector>

#include "MorvaneImg.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return morvane::RunMorvaneImg(args, std::cout, std::cerr);
}
