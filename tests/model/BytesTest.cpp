#include "model/Bytes.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

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
    const auto dir = std::filesystem::temp_directory_path() /
                     ("morvane-bytes-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "file.bin").string();
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{1, 2, 3}));
    ASSERT_TRUE(WriteFileAtomically(path, Bytes{4, 5}));
    Bytes back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, (Bytes{4, 5}));
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "x.bin").string(), Bytes{9}));
    EXPECT_FALSE(ReadWholeFile((dir / "missing.bin").string(), back));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace morvane
