// Field-by-field comparison of two disk images as far as the native image keeps them:
// everything of present tracks and present slots, the slot blocks of absent tracks, and
// the image-level fields.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/DiskImage.h"

namespace morvane {

inline ::testing::AssertionResult SameSlot(const SectorSlot& a, const SectorSlot& b,
                                           const std::string& where) {
    if (a.Present != b.Present) return ::testing::AssertionFailure() << where << ": Present";
    if (a.Present == 0) return ::testing::AssertionSuccess();
    if (a.Cylinder != b.Cylinder || a.Head != b.Head || a.Sector != b.Sector ||
        a.SizeCode != b.SizeCode)
        return ::testing::AssertionFailure() << where << ": ID field";
    if (a.HeaderCrc != b.HeaderCrc) return ::testing::AssertionFailure() << where << ": HeaderCrc";
    if (a.Reserved != b.Reserved) return ::testing::AssertionFailure() << where << ": Reserved";
    if (a.DataGood != b.DataGood) return ::testing::AssertionFailure() << where << ": DataGood";
    if (a.DataPosition != b.DataPosition)
        return ::testing::AssertionFailure() << where << ": DataPosition";
    if (a.DataLength != b.DataLength)
        return ::testing::AssertionFailure() << where << ": DataLength";
    if (!std::equal(a.Data.begin(), a.Data.begin() + a.DataLength, b.Data.begin()))
        return ::testing::AssertionFailure() << where << ": Data";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SameTrack(const Track& a, const Track& b,
                                            const std::string& where) {
    if (a.Number != b.Number) return ::testing::AssertionFailure() << where << ": Number";
    if (a.Present != b.Present) return ::testing::AssertionFailure() << where << ": Present";
    if (a.SectorCount != b.SectorCount)
        return ::testing::AssertionFailure()
               << where << ": SectorCount " << int{a.SectorCount} << " vs " << int{b.SectorCount};
    if (a.Present != 0) {
        if (a.RawValid != b.RawValid) return ::testing::AssertionFailure() << where << ": RawValid";
        if (a.RawLength != b.RawLength)
            return ::testing::AssertionFailure() << where << ": RawLength";
        if (!std::equal(a.Raw.begin(), a.Raw.begin() + a.RawLength, b.Raw.begin()))
            return ::testing::AssertionFailure() << where << ": Raw";
        if (a.Log != b.Log) return ::testing::AssertionFailure() << where << ": Log";
    }
    for (std::size_t s = 0; s < kSlotsPerTrack; ++s) {
        auto r = SameSlot(a.Slots[s], b.Slots[s], where + " slot " + std::to_string(s));
        if (!r) return r;
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SameDisk(const DiskImage& a, const DiskImage& b) {
    if (a.ImagePath != b.ImagePath) return ::testing::AssertionFailure() << "ImagePath";
    if (a.TrackCount != b.TrackCount) return ::testing::AssertionFailure() << "TrackCount";
    if (a.UseBaseTrack != b.UseBaseTrack) return ::testing::AssertionFailure() << "UseBaseTrack";
    if (a.BaseTrack != b.BaseTrack) return ::testing::AssertionFailure() << "BaseTrack";
    if (a.NoTrackRestore != b.NoTrackRestore)
        return ::testing::AssertionFailure() << "NoTrackRestore";
    if (a.DiskLog != b.DiskLog) return ::testing::AssertionFailure() << "DiskLog";
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        auto r = SameTrack(*a.GetTrack(index), *b.GetTrack(index), "track " + std::to_string(t));
        if (!r) return r;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace morvane
