#include "imagefiles/ImageFormatTable.h"

#include <cctype>
#include <optional>

#include "imagefiles/ImageFormatRows.h"

namespace morvane {

namespace {

// The extension of the path's file name, after its last dot; nothing when it has no dot.
std::optional<std::string_view> ExtensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    return name.substr(dot + 1);
}

// A row's extension against one met in a file name: case-insensitive, '?' takes any one
// character.
bool ExtensionMatches(std::string_view pattern, std::string_view extension) {
    if (pattern.size() != extension.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(extension[i])));
        if (pattern[i] != '?' && pattern[i] != c) return false;
    }
    return true;
}

}  // namespace

std::span<const ImageFormatEntry> ImageFormats() {
    return kImageFormatRows;
}

const ImageFormatEntry* FindImageFormat(ImageFormat format) {
    for (const ImageFormatEntry& entry : kImageFormatRows) {
        if (entry.format == format) return &entry;
    }
    return nullptr;
}

bool CanReadFormat(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry != nullptr && entry->read != nullptr;
}

bool CanWriteFormat(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry != nullptr && entry->write != nullptr;
}

bool CanCompressFormat(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry != nullptr && entry->writeCompressed != nullptr;
}

ImageFormat FormatFromPath(std::string_view path) {
    const std::optional<std::string_view> extension = ExtensionOf(path);
    if (!extension) return ImageFormat::Unknown;
    for (const ImageFormatEntry& entry : kImageFormatRows) {
        if (ExtensionMatches(entry.extension, *extension)) return entry.format;
    }
    return ImageFormat::Unknown;
}

std::string_view FormatExtension(ImageFormat format) {
    const ImageFormatEntry* entry = FindImageFormat(format);
    return entry == nullptr ? std::string_view() : entry->extension;
}

ImageFormat FormatFromDialogName(std::string_view path) {
    const std::optional<std::string_view> extension = ExtensionOf(path);
    if (!extension) return ImageFormat::Unknown;
    const std::string_view head = extension->substr(0, 3);
    for (const ImageFormatEntry& entry : kImageFormatRows) {
        if (entry.loadAs && ExtensionMatches(entry.extension, head)) return entry.format;
    }
    return ImageFormat::Unknown;
}

}  // namespace morvane
