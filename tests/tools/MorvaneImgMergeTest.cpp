// morvane-img merge: dumps of one disk made into one, its table and exit statuses.
#include <gtest/gtest.h>

#include "MorvaneImgFixture.h"
#include "support/CaseName.h"
#include "support/Patterns.h"
#include "support/SectorDisks.h"

namespace morvane {
namespace {

class MergeVerbTest : public test::MorvaneImgFixture {
  protected:
    // A dump of two tracks whose listed sectors of track 1 read bad (one byte turned).
    std::string Dump(const std::string& name, std::initializer_list<int> bad) {
        auto disk = std::make_unique<DiskImage>();
        for (std::uint8_t t = 0; t < 2; ++t)
            for (std::uint8_t r = 1; r <= 16; ++r) {
                const bool isBad = t == 1 && std::ranges::find(bad, r) != bad.end();
                Bytes data = test::RandomBytes(256, t * 16u + r);
                if (isBad) data[r] ^= 0x10;
                test::PutSector(*disk, t, static_cast<std::uint8_t>(r - 1), r, 1, data, !isBad);
            }
        const std::string path = Path(name);
        EXPECT_TRUE(SaveImageFile(path, *disk));
        return path;
    }
};

TEST_F(MergeVerbTest, DumpsBadInDifferentSectorsMergeClean) {
    const std::string out1 = Path("out.trd");
    EXPECT_EQ(Run({"merge", "-o", out1, Dump("a.udf", {2, 3}), Dump("b.fdi", {4}),
                   Dump("c.udf", {2, 4})}),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "total: tracks 2, sectors 32: clean 32, voted 0, unresolved 0, missing 0\n");
    const auto merged = Load(out1);
    EXPECT_EQ(merged->FindSector(1, 4)->Data[4], test::RandomBytes(256, 20)[4]);
}

TEST_F(MergeVerbTest, SectorBadEverywhereLeavesExitThreeAndTheTable) {
    EXPECT_EQ(Run({"merge", "-o", Path("out.udf"), Dump("a.udf", {7}), Dump("b.udf", {7})}), 3);
    EXPECT_EQ(out.str(),
              "track  clean  voted  unresolved  missing  still bad\n"
              "    1     15      0           1        0  7\n"
              "total: tracks 2, sectors 32: clean 31, voted 0, unresolved 1, missing 0\n");
}

struct MergeUsageCase {
    const char* name;
    std::vector<std::string> args;
    int exit;
};

class MergeUsage : public MergeVerbTest, public ::testing::WithParamInterface<MergeUsageCase> {};

TEST_P(MergeUsage, RefusesWithTheStatus) {
    std::vector<std::string> args = GetParam().args;
    if (args.size() > 3) args[3] = Dump("a.udf", {});
    EXPECT_EQ(Run(args), GetParam().exit);
    EXPECT_TRUE(out.str().empty());
    EXPECT_FALSE(err.str().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeUsage,
    ::testing::Values(MergeUsageCase{"OneInput", {"merge", "-o", "x.trd", "a"}, 2},
                      MergeUsageCase{"NoOutput", {"merge", "a.trd", "b.trd", "a"}, 2},
                      MergeUsageCase{"UnwritableOutput", {"merge", "-o", "x.xyz", "a", "b.trd"}, 2},
                      MergeUsageCase{"InputNotThere",
                                     {"merge", "-o", "x.trd", "a", "/nonexistent/b.trd"},
                                     1}),
    test::CaseName());

}  // namespace
}  // namespace morvane
