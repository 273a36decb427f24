#include "model/Bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "support/TempFolder.h"

namespace morvane {
namespace {

TEST(ByteCursor, RefusesToReadPastTheEndAndStaysPut) {
    const Bytes data{0x34, 0x12, 0x78, 0x56, 0xAA};
    ByteCursor c(data);
    std::uint16_t w = 0;
    std::uint32_t d = 0;
    ASSERT_TRUE(c.Le16(w));
    EXPECT_EQ(w, 0x1234);
    EXPECT_FALSE(c.Le32(d));
    EXPECT_EQ(c.Position(), 2u);
    std::span<const std::uint8_t> view;
    EXPECT_FALSE(c.Take(4, view));
    ASSERT_TRUE(c.Take(3, view));
    EXPECT_EQ(view[2], 0xAA);
    EXPECT_TRUE(c.AtEnd());
    std::uint8_t b = 0;
    EXPECT_FALSE(c.U8(b));
    EXPECT_FALSE(c.Seek(6));
}

TEST(LittleEndian, WritesWhatItReads) {
    Bytes out;
    PutLe16(out, 0xBEEF);
    PutLe32(out, 0x01020304);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], 0xEF);
    EXPECT_EQ(out[2], 0x04);
    EXPECT_EQ(GetLe32(out, 2), 0x01020304u);
    SetLe16(out, 0, 0x1122);
    EXPECT_EQ(GetLe16(out, 0), 0x1122);
}

TEST(WholeFile, AtomicWriteReplacesAndFailedWriteKeepsTheOldFile) {
    const test::TempFolder folder("morvane-bytes-test");
    const std::filesystem::path& dir = folder.Dir();
    const std::string path = (dir / "file.bin").string();
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{1, 2, 3}));
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{4, 5}));
    Bytes back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, (Bytes{4, 5}));
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "x.bin").string(), Bytes{9}));
    EXPECT_FALSE(ReadWholeFile((dir / "missing.bin").string(), back));
}

class WholeFileTest : public ::testing::Test {
  protected:
    std::string At(const char* name) const { return folder.Path(name); }
    const test::TempFolder folder{"morvane-whole-file"};
    const std::filesystem::path& dir = folder.Dir();
};

TEST_F(WholeFileTest, ReadRefusesAllButRegularFilesOfSensibleSize) {
    std::filesystem::create_directory(At("folder.trd"));
    ASSERT_TRUE(WriteFileAtomically(At("empty.trd"), Bytes{}));
    ASSERT_TRUE(WriteFileAtomically(At("huge.udi"), Bytes{}));
    std::filesystem::resize_file(At("huge.udi"), kMaxWholeFileSize + 1);  // sparse
    const struct {
        std::string path;
        bool readable;
    } cases[] = {{At("folder.trd"), false},
                 {At("huge.udi"), false},
                 {"/dev/null", false},
                 {At("empty.trd"), true}};
    for (const auto& c : cases) {
        Bytes bytes{1};
        EXPECT_EQ(ReadWholeFile(c.path, bytes), c.readable) << c.path;
        if (c.readable) {
            EXPECT_TRUE(bytes.empty());
        }
    }
}

TEST_F(WholeFileTest, AtomicWriteLeavesOtherFilesAloneAndFollowsLinks) {
    ASSERT_TRUE(WriteFileAtomically(At("image.trd.tmp~"), Bytes{7}));
    ASSERT_TRUE(WriteFileAtomically(At("real.trd"), Bytes{1}));
    std::filesystem::create_symlink("real.trd", dir / "link.trd");
    ASSERT_TRUE(WriteFileAtomically(At("image.trd"), Bytes{2}));
    ASSERT_TRUE(WriteFileAtomically(At("link.trd"), Bytes{3}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.trd"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 4);  // no leftovers
    const std::pair<const char*, Bytes> contents[] = {
        {"image.trd.tmp~", {7}}, {"image.trd", {2}}, {"real.trd", {3}}};
    for (const auto& [name, expected] : contents) {
        Bytes back;
        ASSERT_TRUE(ReadWholeFile(At(name), back)) << name;
        EXPECT_EQ(back, expected) << name;
    }
}

}  // namespace
}  // namespace morvane
