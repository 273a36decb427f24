// The lower layers' texts shown in the chosen language: whole, line by line, by the texts
// with placeholders they are made from, and sentence by sentence.
#include <gtest/gtest.h>

#include <array>

#include "ui/views/ShownText.h"

namespace morvane {
namespace {

QString FakeEnglish(const char* text) {
    static const std::pair<const char*, const char*> kTable[] = {
        {"Ошибка!", "Error!"},
        {"Ошибка - ", "Error - "},
        {"Связь с контроллером потеряна.", "The link is lost."},
        {"Считанное сохранено.", "What was read is kept."},
        {"Использовать базовый шаблон", "Use the base template"},
        {"(Трэк - ", "(track - "},
        {"кБ", "KB"},
        {"Дорожка %1: сектор %2", "Track %1: sector %2"},
        {"Из %1 взято %2", "%2 taken of %1"},
    };
    for (const auto& [source, english] : kTable)
        if (std::string_view(source) == text) return QString::fromUtf8(english);
    return QString::fromUtf8(text);
}

constexpr std::array<const char*, 8> kKnown{"Ошибка - ",
                                            "Связь с контроллером потеряна.",
                                            "Считанное сохранено.",
                                            "Использовать базовый шаблон",
                                            "(Трэк - ",
                                            "кБ",
                                            "Дорожка %1: сектор %2",
                                            "Из %1 взято %2"};

TEST(ShownText, TranslatesLinesPatternsAndSentences) {
    const std::pair<const char*, const char*> cases[] = {
        {"Ошибка!", "Error!"},
        {"Ошибка - 1F", "Error - 1F"},
        {"Связь с контроллером потеряна.\nустройство отключено",
         "The link is lost.\nустройство отключено"},
        {"Связь с контроллером потеряна. Считанное сохранено.",
         "The link is lost. What was read is kept."},
        {"Использовать базовый шаблон (Трэк - 12)", "Use the base template (track - 12)"},
        {"640 кБ", "640 KB"},
        // A text made with numbers in it, the translation putting them in its own order.
        {"Дорожка 7: сектор 12", "Track 7: sector 12"},
        {"Из 10 взято 3", "3 taken of 10"},
        {"Дорожка 7: сектор", "Дорожка 7: сектор"},
        // A listed text inside a word or a name is left alone.
        {"ФАЙЛкБ", "ФАЙЛкБ"},
        {"Неизвестный текст", "Неизвестный текст"},
        {"", ""},
    };
    for (const auto& [source, shown] : cases)
        EXPECT_EQ(ShownText(source, kKnown, &FakeEnglish), QString::fromUtf8(shown)) << source;
}

// Without a translation installed (as in every other test) the text stays as written.
TEST(ShownText, WithoutTranslationTextStaysRussian) {
    for (const char* text : LayerTexts())
        EXPECT_EQ(ShownText(text), QString::fromUtf8(text)) << text;
}

}  // namespace
}  // namespace morvane
