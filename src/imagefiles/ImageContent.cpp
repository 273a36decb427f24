#include "imagefiles/ImageContent.h"

#include <algorithm>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosCatalogue.h"
#include "formats/Native.h"
#include "formats/Trd.h"
#include "imagefiles/ImageFormatTable.h"
#include "model/Bytes.h"
#include "model/Checksums.h"

namespace morvane {

namespace {

constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kTd0HeaderCrcAt = 10;
constexpr std::size_t kTd0HeaderSize = 12;
constexpr std::size_t kTrdInfoSector = 8;  // sector 9 of track 0

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

bool IsTd0(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kTd0HeaderSize) return false;
    if (!StartsWith(bytes, "TD") && !StartsWith(bytes, "td")) return false;
    return Td0Crc16(bytes.first(kTd0HeaderCrcAt)) == GetLe16(bytes, kTd0HeaderCrcAt);
}

bool IsNative(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kNativeMinimumSize) return false;
    const std::size_t body = bytes.size() - kChecksumSize;
    return ImageCrc32(bytes.first(body)) == GetLe32(bytes, body);
}

bool IsHobeta(std::span<const std::uint8_t> bytes) {
    HobetaFile file;
    std::string error;
    return ParseHobeta(bytes, file, error);
}

}  // namespace

ImageFormat FormatFromContent(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, "UDI!")) return ImageFormat::Udi;
    if (IsTd0(bytes)) return ImageFormat::Td0;
    if (StartsWith(bytes, "FDI")) return ImageFormat::Fdi;
    if (StartsWith(bytes, kSclSignature)) return ImageFormat::Scl;
    if (IsNative(bytes)) return ImageFormat::Udf;
    if (IsHobeta(bytes)) return ImageFormat::Hobeta;
    return ImageFormat::Unknown;
}

bool LooksLikeTrd(std::span<const std::uint8_t> bytes) {
    const std::size_t info = kTrdInfoSector * kTrdSectorSize;
    return bytes.size() % kTrdSectorSize == 0 && bytes.size() >= info + kTrdSectorSize &&
           bytes[info + kInfoIdByte] == kTrDosId;
}

ImageFormat RecogniseImage(std::string_view path, std::span<const std::uint8_t> bytes) {
    const ImageFormat named = FormatFromPath(path);
    const ImageFormat shown = FormatFromContent(bytes);
    if (named != ImageFormat::Unknown &&
        (shown == named || (named == ImageFormat::Trd && LooksLikeTrd(bytes))))
        return named;
    if (shown != ImageFormat::Unknown) return shown;
    if (LooksLikeTrd(bytes)) return ImageFormat::Trd;
    return named;
}

ImageFormat RecogniseImageFile(const std::string& path) {
    Bytes bytes;
    if (!ReadWholeFile(path, bytes)) return FormatFromPath(path);
    return RecogniseImage(path, bytes);
}

}  // namespace morvane
