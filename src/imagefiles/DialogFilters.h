// The file dialogs' filters, "description|pattern|..." as the window's dialogs list them,
// made from the rows of the format table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/ImageFormat.h"

namespace morvane {

// "Загрузить как...": the entry of every format it lists, then "Поддерживаемые форматы"
// with all their patterns.
extern const std::string_view kLoadAsFilter;
extern const int kLoadAsDefaultFilterIndex;  // 1-based: "supported formats"
// "Сохранить как...": the entry of every format with a writer, the native format's last.
extern const std::string_view kSaveAsFilter;
// The native commands "Загрузить" and "Сохранить".
extern const std::string_view kNativeFilter;
// Every format the program reads: "Поддерживаемые форматы" first, then each format's
// entry. Zero-terminated.
extern const std::string_view kAllFormatsFilter;

// The save-as dialog's default extension for its 1-based filter entry ("$?" for Hobeta,
// whose '?' is the file's TR-DOS type); empty outside its entries.
std::string_view SaveAsDefaultExtension(int filterIndex);
// Filters of the single-format commands ("Загрузить UDI", "Сохранить TRD", ...); empty
// where the command does not exist or does nothing (saving TD0 or FDI).
std::string_view SingleLoadFilter(ImageFormat format);
std::string_view SingleSaveFilter(ImageFormat format);

// One name filter per entry of a "description|pattern|..." filter, in the form toolkits
// such as Qt take: "description (pattern pattern)". A description that already ends with
// its patterns in parentheses is kept as it is; otherwise the patterns (';'-separated in
// the entry) are appended, so "A (*.x,*.y)|*.x;*.y" gives "A (*.x,*.y) (*.x *.y)".
std::vector<std::string> NameFilters(std::string_view filter);

}  // namespace morvane
