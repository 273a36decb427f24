#include "filesystems/CpmListing.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct LengthCase {
    std::uint32_t bytes;
    char separator;
    const char* text;
};

class CpmLengthTextTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(CpmLengthTextTest, WholeKilobytesAndTheRestOverAThousand) {
    EXPECT_EQ(CpmLengthText(GetParam().bytes, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CpmLengthTextTest,
    ::testing::Values(LengthCase{1152, '.', "1.128"}, LengthCase{1152, ',', "1,128"},
                      LengthCase{2048, '.', "2"}, LengthCase{0, '.', "0"},
                      LengthCase{16768, '.', "16.384"}, LengthCase{33408, '.', "32.64"},
                      LengthCase{128, '.', "0.128"}, LengthCase{1024 + 1000, '.', "2"},
                      LengthCase{1024 + 1005, '.', "2.005"}));

TEST(CpmListing, RowShowsNameTypeLengthUserAndExtent) {
    CpmDirEntry e;
    e.user = 3;
    e.extent = 0;
    const std::string name = "HELLO   COM";
    std::copy(name.begin(), name.end(), e.name.begin());
    const std::array<std::string, 5> expected{"HELLO   ", "COM", "1.128", "03", "00"};
    EXPECT_EQ(CpmRowTexts(e, 9, '.'), expected);
    EXPECT_EQ(CpmRowFileName(e), "HELLO   COM");
}

}  // namespace
}  // namespace morvane
