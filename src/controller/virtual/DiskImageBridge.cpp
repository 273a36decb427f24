#include "controller/virtual/DiskImageBridge.h"

#include <algorithm>

#include "formats/udi/UdiSectorFinder.h"
#include "formats/udi/UdiTrackBuilder.h"
#include "model/Geometry.h"

namespace morvane::virt {

namespace {

RawTrack TrackFromRaw(const Track& source) {
    const std::span<const std::uint8_t> bytes =
        source.Raw.first(std::min<std::size_t>(source.RawLength, kTrackBufferSize));
    const std::vector<std::uint8_t> marks = InferClockMarks(bytes);
    return RawTrack::FromBytes(bytes, marks);
}

bool TrackFromSlots(const Track& source, RawTrack& out) {
    auto image = std::make_unique<UdiTrackImage>();
    UdiTrackParams params;
    params.TrackToBuild = &source;
    if (!BuildUdiTrack(params, *image).Ok) return false;
    out = RawTrack::FromBytes(image->Bytes, image->ClockMarks);
    return true;
}

}  // namespace

std::unique_ptr<VirtualDisk> DiskFromImage(const DiskImage& image, ImageToDiskReport* report) {
    auto disk = std::make_unique<VirtualDisk>();
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        const Track* source = image.GetTrack(index);
        if (source == nullptr || source->Present == 0) continue;
        RawTrack track;
        if (source->RawValid != 0 && source->RawLength > 0) {
            track = TrackFromRaw(*source);
        } else if (!TrackFromSlots(*source, track)) {
            track = RawTrack::Blank();
            if (report != nullptr) report->UnbuiltTracks.push_back(index);
        }
        track.Present = true;
        disk->SetTrack(index, std::move(track));
    }
    return disk;
}

void DiskToImage(const VirtualDisk& disk, DiskImage& image) {
    image.ClearImage();
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const auto index = static_cast<std::uint8_t>(t);
        const RawTrack* source = disk.Track(index);
        Track* target = image.GetTrack(index);
        if (source == nullptr || target == nullptr || !source->Present) continue;
        const std::size_t length = std::min(source->Length(), kTrackBufferSize);
        std::copy_n(source->Data.begin(), length, target->Raw.first(length).begin());
        target->RawLength = static_cast<std::uint16_t>(length);
        target->RawValid = 1;
        target->Present = kPresent;
        FindUdiSectors(std::span(source->Data).first(length), source->Marks, *target);
    }
    image.CountTracks();
}

}  // namespace morvane::virt
