// The texts the plain C++ layers hand the window (questions, refusals, file dialog titles
// and filters, listing labels) in the language the user chose. Those layers stay free of
// Qt and keep their Russian texts for the command line and the logs; the window looks
// each text up at the moment it shows it.
#pragma once

#include <QString>

#include <span>
#include <string_view>

namespace morvane {

// The lower layers' texts the window shows, marked for the translation tools. A text
// that goes on with a number or a name ("Ошибка - 1F") is listed by its fixed beginning.
std::span<const char* const> LayerTexts();

// The whole text when it has a translation; otherwise line by line, each line whole or
// by the longest listed text it begins with, the rest of the line kept as it is.
// `translate` gives a text's translation, or the text itself when it has none.
QString ShownText(std::string_view text, std::span<const char* const> known,
                  QString (*translate)(const char*));
// The same with the listed texts and the installed translation.
QString ShownText(std::string_view text);

}  // namespace morvane
