// The plain C++ layers' texts (UTF-8 in std::string and std::string_view) as QStrings.
#pragma once

#include <QString>

#include <string_view>

namespace morvane {

inline QString QText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace morvane
