// The Qt event loop that the controller verbs need: one QCoreApplication for the command,
// made only when the process has none (the tests run inside one of their own).
#pragma once

#include <QCoreApplication>

#include <memory>

namespace morvane {

inline std::unique_ptr<QCoreApplication> EnsureApplication() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char name[] = "morvane-img";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace morvane
