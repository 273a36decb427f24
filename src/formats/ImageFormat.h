// The image file formats the program knows, chosen by file extension.
#pragma once

#include <string>
#include <string_view>

namespace morvane {

enum class ImageFormat { Unknown, Udf, Udi, Trd, Td0, Fdi };

// By the extension of the path's file name, case-insensitive ("a.TRD" -> Trd).
ImageFormat FormatFromPath(std::string_view path);
// Lower-case extension without the dot ("trd"); empty for Unknown.
std::string_view FormatExtension(ImageFormat format);

}  // namespace morvane
