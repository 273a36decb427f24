// The image file formats the program knows, chosen by file extension.
#pragma once

#include <string>
#include <string_view>

namespace morvane {

// Scl and Hobeta are TR-DOS file sets (an SCL archive, one Hobeta file) that load as a new
// TR-DOS disk holding their files.
enum class ImageFormat { Unknown, Udf, Udi, Trd, Td0, Fdi, Scl, Hobeta };

// By the extension of the path's file name, case-insensitive ("a.TRD" -> Trd). A Hobeta
// file's extension is '$' and its TR-DOS type letter ("boot.$B").
ImageFormat FormatFromPath(std::string_view path);
// Lower-case extension without the dot ("trd"); empty for Unknown; "$?" for Hobeta.
std::string_view FormatExtension(ImageFormat format);

}  // namespace morvane
