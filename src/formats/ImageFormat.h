// The image file formats the program knows. Each has one row in the format table
// (imagefiles/ImageFormatRows.h), which says how its files are named, read and written.
#pragma once

namespace morvane {

// Scl and Hobeta are TR-DOS file sets (an SCL archive, one Hobeta file) that load as a new
// TR-DOS disk holding their files.
enum class ImageFormat { Unknown, Udf, Udi, Trd, Td0, Fdi, Scl, Hobeta };

}  // namespace morvane
