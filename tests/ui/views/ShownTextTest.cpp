// The lower layers' texts shown in the chosen language: whole, line by line, and by the
// listed beginnings of texts that go on with a number or a name.
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
    };
    for (const auto& [source, english] : kTable)
        if (std::string_view(source) == text) return QString::fromUtf8(english);
    return QString::fromUtf8(text);
}

constexpr std::array<const char*, 6> kKnown{"Ошибка - ", "Связь с контроллером потеряна.",
                                            "Считанное сохранено.", "Использовать базовый шаблон",
                                            "(Трэк - ", "кБ"};

TEST(ShownText, TranslatesWholeLinesAndKnownBeginnings) {
    const std::pair<const char*, const char*> cases[] = {
        {"Ошибка!", "Error!"},
        {"Ошибка - 1F", "Error - 1F"},
        {"Связь с контроллером потеряна.\nустройство отключено",
         "The link is lost.\nустройство отключено"},
        {"Связь с контроллером потеряна. Считанное сохранено.",
         "The link is lost. What was read is kept."},
        {"Использовать базовый шаблон (Трэк - 12)", "Use the base template (track - 12)"},
        {"640 кБ", "640 KB"},
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
