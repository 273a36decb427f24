#include "ui/catalogue/TrDosWindowRules.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct MenuCase {
    const char* what;
    bool fromImage;
    std::size_t rows;
    int selectedLength;  // -1: not exactly one row selected
    TrDosMenuState expected;
};

TrDosMenuState Menu(bool screen, bool hex, bool compact, bool rename, bool hob, bool scl, bool edit,
                    bool add, bool del) {
    TrDosMenuState m;
    m.viewScreen = screen;
    m.viewHex = hex;
    m.compact = compact;
    m.renameDisk = rename;
    m.showDeleted = true;
    m.saveHobeta = hob;
    m.saveScl = scl;
    m.editHeader = edit;
    m.addFiles = add;
    m.deleteFiles = del;
    return m;
}

class TrDosMenuTest : public ::testing::TestWithParam<MenuCase> {};

TEST_P(TrDosMenuTest, EnablesItemsBySourceRowsAndSelection) {
    const MenuCase& c = GetParam();
    TrDosEntry selected;
    selected.length = static_cast<std::uint16_t>(c.selectedLength);
    const TrDosMenuState m =
        TrDosMenuEnabling(c.fromImage, c.rows, c.selectedLength >= 0 ? &selected : nullptr);
    const TrDosMenuState& e = c.expected;
    EXPECT_EQ(m.viewScreen, e.viewScreen) << c.what;
    EXPECT_EQ(m.viewHex, e.viewHex) << c.what;
    EXPECT_EQ(m.compact, e.compact) << c.what;
    EXPECT_EQ(m.renameDisk, e.renameDisk) << c.what;
    EXPECT_EQ(m.showDeleted, e.showDeleted) << c.what;
    EXPECT_EQ(m.saveHobeta, e.saveHobeta) << c.what;
    EXPECT_EQ(m.saveScl, e.saveScl) << c.what;
    EXPECT_EQ(m.editHeader, e.editHeader) << c.what;
    EXPECT_EQ(m.addFiles, e.addFiles) << c.what;
    EXPECT_EQ(m.deleteFiles, e.deleteFiles) << c.what;
    // The plain and tape files go with Hobeta and SCL, their adding with the other adding.
    EXPECT_EQ(m.saveBin, e.saveHobeta) << c.what;
    EXPECT_EQ(m.saveTap, e.saveScl) << c.what;
    EXPECT_EQ(m.addPlainFile, e.addFiles) << c.what;
    EXPECT_FALSE(m.viewBasic) << c.what;  // no selected file is of type B
}

TEST(TrDosMenu, BasicListingForOneSelectedBasicFileOfTheImage) {
    TrDosEntry basic{.type = 'B'};
    EXPECT_TRUE(TrDosMenuEnabling(true, 3, &basic).viewBasic);
    EXPECT_FALSE(TrDosMenuEnabling(false, 3, &basic).viewBasic);
    EXPECT_FALSE(TrDosMenuEnabling(true, 3, nullptr).viewBasic);
}

INSTANTIATE_TEST_SUITE_P(
    States, TrDosMenuTest,
    ::testing::Values(MenuCase{"from the drive", false, 5, 6912, Menu(0, 0, 0, 0, 0, 0, 0, 0, 0)},
                      MenuCase{"empty image catalogue", true, 0, -1,
                               Menu(0, 0, 0, 1, 0, 0, 0, 1, 0)},
                      MenuCase{"several selected", true, 3, -1, Menu(0, 0, 1, 1, 1, 1, 0, 1, 1)},
                      MenuCase{"one screen file", true, 3, 6912, Menu(1, 1, 1, 1, 1, 1, 1, 1, 1)},
                      MenuCase{"one longer file", true, 3, 6913, Menu(0, 1, 1, 1, 1, 1, 1, 1, 1)}));

TEST(TrDosWindowRules, OverwriteQuestionsNameTheFile) {
    EXPECT_EQ(HobetaOverwriteQuestion("boot.$B"), "Файл boot.$B уже существует! Перезаписать?");
    EXPECT_EQ(SclOverwriteQuestion("/tmp/a.scl"), "Файл /tmp/a.scl уже существует! Перезаписать?");
}

}  // namespace
}  // namespace morvane
