#include "formats/DiskComment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Bytes.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

struct CommentCase {
    const char* name;
    Bytes text;
    std::vector<std::string> lines;
};

class DiskCommentTest : public ::testing::TestWithParam<CommentCase> {};

TEST_P(DiskCommentTest, TextBecomesTheCommentLines) {
    EXPECT_EQ(DiskCommentLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DiskCommentTest,
    ::testing::Values(
        CommentCase{"Empty", {}, {}},
        CommentCase{"LineEndsOfEveryKind",
                    {'a', '\r', '\n', 'b', 0, 'c', '\n', 'd', '\r', 'e'},
                    {"a", "b", "c", "d", "e"}},
        // A comment block's padding and a last line end are no lines; the first, empty
        // line of a DOS tool's description is one.
        CommentCase{"EmptyLinesAtTheEndDropped", {'\r', '\n', 'x', '\r', '\n', 0, 0}, {"", "x"}},
        // "Диск" as this program's writers store it.
        CommentCase{"Windows1251", {0xC4, 0xE8, 0xF1, 0xEA}, {"Диск"}},
        // "черный ворон" as a DOS tool wrote it.
        CommentCase{"Cp866",
                    {0xE7, 0xA5, 0xE0, 0xAD, 0xEB, 0xA9, ' ', 0xA2, 0xAE, 0xE0, 0xAE, 0xAD},
                    {"черный ворон"}},
        // "как" reads as Windows-1251 (0xEA 0xE0 0xEA) and as 866 (0xAA 0xA0 0xAA).
        CommentCase{"LowerCaseWindows1251", {0xEA, 0xE0, 0xEA}, {"как"}},
        CommentCase{"LowerCaseCp866", {0xAA, 0xA0, 0xAA}, {"как"}}),
    test::CaseName());

}  // namespace
}  // namespace morvane
