#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "MorvaneImg.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The verbs say why they fail; this is the last line of defence, so that nothing the
    // library throws ends the program without a word.
    try {
        return morvane::RunMorvaneImg(args, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "morvane-img: " << e.what() << "\n";
        return morvane::kExitFailure;
    }
}
