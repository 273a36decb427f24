#include "imagefiles/ImageFormatTable.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(ImageFormat, ChosenByExtensionWhateverTheCase) {
    EXPECT_EQ(FormatFromPath("/home/u/disk.TRD"), ImageFormat::Trd);
    EXPECT_EQ(FormatFromPath("game.Udi"), ImageFormat::Udi);
    EXPECT_EQ(FormatFromPath("C:\\disks\\a.td0"), ImageFormat::Td0);
    EXPECT_EQ(FormatFromPath("x.fdi"), ImageFormat::Fdi);
    EXPECT_EQ(FormatFromPath("x.udf"), ImageFormat::Udf);
}

TEST(ImageFormat, UnknownWithoutAKnownExtension) {
    EXPECT_EQ(FormatFromPath("disk"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromPath("dir.trd/disk"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromPath("disk.dsk"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromPath("game.SCL"), ImageFormat::Scl);
    EXPECT_EQ(FormatFromPath("boot.$B"), ImageFormat::Hobeta);
    EXPECT_EQ(FormatFromPath("boot.$"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromPath("boot.$BC"), ImageFormat::Unknown);
    EXPECT_EQ(FormatFromPath(""), ImageFormat::Unknown);
    EXPECT_EQ(FormatExtension(ImageFormat::Unknown), "");
    EXPECT_EQ(FormatExtension(ImageFormat::Td0), "td0");
}

}  // namespace
}  // namespace morvane
