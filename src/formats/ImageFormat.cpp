#include "formats/ImageFormat.h"

#include <array>
#include <cctype>
#include <utility>

namespace morvane {

namespace {

constexpr std::array<std::pair<ImageFormat, std::string_view>, 7> kExtensions{{
    {ImageFormat::Udf, "udf"},
    {ImageFormat::Udi, "udi"},
    {ImageFormat::Trd, "trd"},
    {ImageFormat::Td0, "td0"},
    {ImageFormat::Fdi, "fdi"},
    {ImageFormat::Scl, "scl"},
    {ImageFormat::Hobeta, "$?"},
}};

bool IsHobetaExtension(std::string_view ext) {
    return ext.size() == 2 && ext[0] == '$';
}

}  // namespace

ImageFormat FormatFromPath(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return ImageFormat::Unknown;
    std::string ext(name.substr(dot + 1));
    if (IsHobetaExtension(ext)) return ImageFormat::Hobeta;
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [format, extension] : kExtensions) {
        if (ext == extension) return format;
    }
    return ImageFormat::Unknown;
}

std::string_view FormatExtension(ImageFormat format) {
    for (const auto& [f, extension] : kExtensions) {
        if (f == format) return extension;
    }
    return {};
}

}  // namespace morvane
