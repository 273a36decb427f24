#include "filesystems/TrDosFileSectors.h"

#include <gtest/gtest.h>

#include "support/TestDisks.h"

namespace morvane {
namespace {

// A sector read in error gives its bytes and a missing one zeros; both are named in file
// order with their places, and a whole file names none.
TEST(TrDosFileSectors, ReadAsItIsNamesTheBadAndTheMissingSectors) {
    const test::DamagedTrDosDisk d;
    const TrDosFileSectors data = ReadTrDosFileAsItIs(*d.disk, d.data);
    EXPECT_EQ(data.data, test::DamagedTrDosDisk::DataAsItIs());
    ASSERT_EQ(data.damaged.size(), 2u);
    EXPECT_EQ(data.damaged[0].index, 1u);
    EXPECT_EQ(data.damaged[0].at.sector, 7u);
    EXPECT_EQ(data.damaged[0].state, FileSectorState::Bad);
    EXPECT_EQ(data.damaged[1].at.track, 1u);
    EXPECT_EQ(data.damaged[1].at.sector, 8u);
    EXPECT_EQ(data.damaged[1].state, FileSectorState::Missing);
    EXPECT_EQ(data.States(),
              (std::vector<FileSectorState>{FileSectorState::Good, FileSectorState::Bad,
                                            FileSectorState::Missing}));
    const TrDosFileSectors game = ReadTrDosFileAsItIs(*d.disk, d.game);
    EXPECT_TRUE(game.Whole());
    EXPECT_EQ(game.data, test::ExpectedFileBytes(2, 3));
}

}  // namespace
}  // namespace morvane
