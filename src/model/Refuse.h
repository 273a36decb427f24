// How the readers and writers turn a problem down: the reason goes into the image's
// LastError, where the load and save commands find it.
#pragma once

#include <string>
#include <utility>

#include "model/DiskImage.h"

namespace morvane {

// Sets disk.LastError and returns false, so that a refusal is one statement.
inline bool Refuse(DiskImage& disk, std::string message) {
    disk.LastError = std::move(message);
    return false;
}

}  // namespace morvane
