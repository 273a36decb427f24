// The plain C++ layers' texts (UTF-8 in std::string and std::string_view) as QStrings, and
// the window's own texts in the language the user chose.
//
// The window's texts are written in Russian, as the program has always shown them, and
// are the source texts of the translation: Ui::tr gives a text in the language installed
// at start (translations/morvane_en.ts), or as written when no translation is installed,
// which is how the tests see them. One context holds them all, so a text used in several
// places is translated once.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <string>
#include <string_view>

namespace morvane {

inline QString QText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct Ui {
    Q_DECLARE_TR_FUNCTIONS(morvane::Ui)
};

// A window text kept in a constant, marked where it is written with
// QT_TRANSLATE_NOOP("morvane::Ui", ...) so the translation tools find it.
inline QString UiText(std::string_view text) {
    return Ui::tr(std::string(text).c_str());
}

}  // namespace morvane
