// Names of parameterised cases.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace morvane::test {

// Names a case by its parameter's name field.
struct CaseName {
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P>& info) const {
        return info.param.name;
    }
};

// A text made fit to name a case: every character but letters and digits becomes '_'.
inline std::string CaseNameOf(std::string text) {
    for (char& c : text)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return text;
}

}  // namespace morvane::test
