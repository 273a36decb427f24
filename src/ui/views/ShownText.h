// The texts the plain C++ layers hand the window (questions, refusals, file dialog titles
// and filters, listing labels) in the language the user chose. Those layers stay free of
// Qt and keep their Russian texts for the command line and the logs; the window looks
// each text up at the moment it shows it.
#pragma once

#include <QString>

#include <span>
#include <string_view>

namespace morvane {

// The lower layers' texts the window shows, marked for the translation tools. A text made
// with numbers or names in it is listed with %1, %2... in their places ("Ошибка - %1").
std::span<const char* const> LayerTexts();

// The whole text when it has a translation; otherwise line by line: the line whole, or a
// listed text with placeholders that matches the whole line, or else each listed text
// that begins at a word of the line (sentences put one after another), the rest kept.
// `translate` gives a text's translation, or the text itself when it has none.
QString ShownText(std::string_view text, std::span<const char* const> known,
                  QString (*translate)(const char*));
// The same with the listed texts and the installed translation.
QString ShownText(std::string_view text);

}  // namespace morvane
