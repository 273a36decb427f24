// Makes small seed files for the harnesses from real images, at run time, so no image is
// kept in the repository.
//
//   fuzz_make_seed shrink IN OUT TRACKS [lzh]  IN with only its first TRACKS tracks, saved in
//                                              OUT's format (lzh: the compressed form)
//   fuzz_make_seed cpm OUT                     the directory sectors of a CP/M disk holding
//                                              a few files
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/CpmDirectory.h"
#include "filesystems/CpmEditing.h"
#include "filesystems/NewImages.h"
#include "imagefiles/ImageFiles.h"
#include "model/ImageEditing.h"

namespace {

using namespace morvane;

int Shrink(const std::string& in, const std::string& out, int tracks, bool lzh) {
    auto disk = std::make_unique<DiskImage>();
    if (!LoadImageFile(in, *disk)) {
        std::fprintf(stderr, "%s: %s\n", in.c_str(), disk->LastError.c_str());
        return 1;
    }
    for (std::size_t t = static_cast<std::size_t>(std::max(tracks, 0)); t < kTrackCount; ++t) {
        RemoveTrack(*disk, static_cast<std::uint8_t>(t));
        disk->GetTrack(static_cast<std::uint8_t>(t))->ClearSlots();
    }
    if (!SaveImageFile(out, *disk, kDefaultRestoreTrack,
                       lzh ? ImageCompression::Lzh : ImageCompression::None)) {
        std::fprintf(stderr, "%s: %s\n", out.c_str(), disk->LastError.c_str());
        return 1;
    }
    return 0;
}

int CpmDirectory(const std::string& out) {
    auto disk = std::make_unique<DiskImage>();
    CreateCpmImage(*disk);
    const char* names[] = {"A.COM", "README.TXT", "BIG.DAT", "Z"};
    std::string error;
    for (std::size_t i = 0; i < std::size(names); ++i) {
        // Sizes from a record to past one extent, so several entries and block lists show.
        const std::vector<std::uint8_t> data(std::size_t{128} << (i * 3), std::uint8_t(i));
        const auto name = CpmNameForPcFile(names[i]);
        if (!name || !AddCpmFile(*disk, *name, data, error)) {
            std::fprintf(stderr, "%s: %s\n", names[i], error.c_str());
            return 1;
        }
    }
    std::ofstream file(out, std::ios::binary);
    for (unsigned n = 1; n <= 4; ++n) {
        SectorSlot* slot = disk->FindSector(0, static_cast<std::uint8_t>(n));
        if (!slot) return 1;
        const auto sector = slot->Data.first(kCpmSectorSize);
        file.write(reinterpret_cast<const char*>(sector.data()),
                   static_cast<std::streamsize>(sector.size()));
    }
    return file ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == "shrink")
        return Shrink(argv[2], argv[3], std::atoi(argv[4]), args.size() > 4 && args[4] == "lzh");
    if (args.size() == 2 && args[0] == "cpm") return CpmDirectory(argv[2]);
    std::fprintf(stderr, "usage: fuzz_make_seed shrink IN OUT TRACKS [lzh] | cpm OUT\n");
    return 2;
}
