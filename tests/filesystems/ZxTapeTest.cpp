// Tape files and plain files: plain bytes to TR-DOS files, damaged tapes refused, and the
// name patterns of the command line. The way to tape and back is tested through
// morvane-img (FileVerbsTest) and against tzxlist (TapeToolsTest).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filesystems/NamePatterns.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/ZxTape.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

TrDosFileData Plain(char type, const Bytes& bytes, std::optional<std::uint16_t> start) {
    PlainFileFields fields{TrDosNameFromArgument("prog"), static_cast<std::uint8_t>(type), start,
                           std::nullopt};
    TrDosFileData f;
    std::string error;
    EXPECT_TRUE(MakeTrDosFile(fields, bytes, f, error)) << error;
    return f;
}

TEST(TrDosPlainFiles, BasicKeepsProgramLengthAndAutostartAfterItsData) {
    // One line (10 REM) then a variable.
    const Bytes program{0, 10, 2, 0, 0xEA, 0x0D, 0x61, 5, 0, 0, 0, 0};
    const TrDosFileData f = Plain('B', program, 10);
    EXPECT_EQ(f.entry.start, 12);
    EXPECT_EQ(f.entry.length, 6);
    EXPECT_EQ(f.entry.sectors, 1);
    EXPECT_EQ(Bytes(f.data.begin() + 12, f.data.begin() + 16), (Bytes{0x80, 0xAA, 10, 0}));
    EXPECT_EQ(TrDosPlainBytes(f.entry, f.data), program);
    EXPECT_EQ(TrDosBasicAutostart(f.entry, f.data), 10);
    EXPECT_EQ(TrDosBasicProgramLength(f.entry, f.data), 6u);
}

TEST(TrDosPlainFiles, RefusesWhatDoesNotFit255Sectors) {
    TrDosFileData f;
    std::string error;
    PlainFileFields fields;
    EXPECT_TRUE(MakeTrDosFile(fields, Bytes(65280), f, error));
    EXPECT_EQ(f.entry.sectors, 255);
    fields.type = 'B';
    EXPECT_FALSE(MakeTrDosFile(fields, Bytes(65277), f, error));
    EXPECT_NE(error.find("65276 at most"), std::string::npos) << error;
    fields.type = 7;
    EXPECT_FALSE(MakeTrDosFile(fields, Bytes(1), f, error));
}

struct BadTape {
    std::string name;
    Bytes tap;
    std::string error;
};

class ZxTapeRefuses : public ::testing::TestWithParam<BadTape> {};

TEST_P(ZxTapeRefuses, DamagedTape) {
    std::vector<TrDosFileData> files;
    std::string error;
    EXPECT_FALSE(TrDosFilesOfTap(GetParam().tap, files, error));
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

Bytes HeaderOnly() {
    Bytes tap;
    AppendTapBlock(tap, kTapeHeaderFlag, Bytes(kTapeHeaderSize, 3));
    return tap;
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, ZxTapeRefuses,
    ::testing::Values(BadTape{"CutShort", {5, 0, 0xFF, 1}, "block 1 is cut short"},
                      BadTape{"Checksum", {3, 0, 0xFF, 1, 0x00}, "checksum does not match"},
                      BadTape{"NoFlag", {1, 0, 0xFF}, "no flag"},
                      BadTape{"HeaderWithoutData", HeaderOnly(), "a header without its data"}),
    test::CaseName{});

TEST(ZxTape, DataWithoutAHeaderBecomesACodeFile) {
    Bytes tap;
    AppendTapBlock(tap, kTapeDataFlag, Bytes{1, 2});
    std::vector<TrDosFileData> files;
    std::string error;
    ASSERT_TRUE(TrDosFilesOfTap(tap, files, error)) << error;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(TrimmedZxName(files[0].entry.name), "block1");
    EXPECT_EQ(files[0].entry.type, 'C');
}

TEST(NamePatterns, MatchNameOrNameWithType) {
    TrDosEntry boot{.name = TrDosNameFromArgument("boot"), .type = 'B'};
    for (const char* p : {"boot*", "*.B", "b??t", "*", "boot.?"})
        EXPECT_TRUE(EntryMatchesPattern(boot, p)) << p;
    for (const char* p : {"*.C", "Boot*", "b?t", "boot?"})
        EXPECT_FALSE(EntryMatchesPattern(boot, p)) << p;
    EXPECT_TRUE(PatternMatches("д?*", "дом"));
    EXPECT_FALSE(IsNamePattern("#3"));
}

}  // namespace
}  // namespace morvane
