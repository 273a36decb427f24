// The BASIC listing: keywords, hidden numbers, graphics and colour codes, and where the
// program ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filesystems/ZxBasic.h"
#include "model/Bytes.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

// One line of a program: number, length, text and 0x0D.
Bytes Line(unsigned number, const Bytes& text) {
    Bytes line{static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)};
    PutLe16(line, static_cast<std::uint16_t>(text.size() + 1));
    line.insert(line.end(), text.begin(), text.end());
    line.push_back(0x0D);
    return line;
}

struct LineCase {
    std::string name;
    Bytes text;
    std::string listed;
};

class ZxBasicLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ZxBasicLine, ListsAsLineDoes) {
    const std::vector<std::string> lines = ZxBasicLines(Line(10, GetParam().text));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "  10 " + GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(Texts, ZxBasicLine,
                         ::testing::Values(
                             // PRINT 5 with the hidden 0x0E and five bytes of 5.
                             LineCase{"NumberWithoutItsHiddenForm",
                                      {0xF5, '5', 0x0E, 0, 0, 5, 0, 0, ':', 0xEC, '1', '0', 0x0E, 0,
                                       0, 10, 0, 0},
                                      "PRINT 5: GO TO 10"},
                             LineCase{"FunctionsAndComparisons",
                                      {0xFA, 0xBE, '1', 0xC9, 0xA5, 0xCB, 0xFB},
                                      "IF PEEK 1<>RND THEN CLS "},
                             LineCase{"UdgsAndBlocks",
                                      {'"', 0x90, 0xA4, 0x80, 0x8F, 0x83, 0x8C, 0x86, '"'},
                                      "\"\\A\\U\\  \\::\\''\\..\\'.\""},
                             LineCase{"ColourCodesAndSpecialCharacters",
                                      {0x10, 2, 0x16, 3, 4, 'a', 0x60, 0x7F, '\\', 0x0C},
                                      "{INK 2}{AT 3,4}a£©\\\\{0C}"},
                             LineCase{"NumberCutShortAtTheLineEnd", {'1', 0x0E, 0, 0}, "1"}),
                         test::CaseName{});

TEST(ZxBasic, ProgramEndsWhereTheVariablesBegin) {
    Bytes program = Line(1, {0xEA, 'x'});
    const Bytes second = Line(9999, {0xE2});
    program.insert(program.end(), second.begin(), second.end());
    const std::size_t length = program.size();
    program.insert(program.end(), {0x61, 1, 0, 0, 0, 0});  // variable a
    EXPECT_EQ(ZxBasicProgramLength(program), length);
    EXPECT_EQ(ZxBasicListing(program, length), "   1 REM x\n9999 STOP \n");
    // LIST stops at a line numbered 16384 or more, and shows a line that runs into the
    // variables to its end.
    program[length] = 0x40;
    EXPECT_EQ(ZxBasicLines(program).size(), 2u);
    EXPECT_EQ(ZxBasicLines(program, length - 1).back(), "9999 STOP ");
}

TEST(ZxBasic, LineLongerThanTheProgramIsListedUpToItsEnd) {
    Bytes program = Line(5, {0xF5, '"', 'a', 'b', '"'});
    SetLe16(program, 2, 500);
    EXPECT_EQ(ZxBasicLines(program), std::vector<std::string>{"   5 PRINT \"ab\""});
    EXPECT_EQ(ZxBasicProgramLength(program), program.size());
    EXPECT_TRUE(ZxBasicLines(Bytes{0, 1, 2}).empty());
}

}  // namespace
}  // namespace morvane
