#include "model/Cp1251.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

Bytes B(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(Cp1251, EncodesRussianTextOneBytePerLetter) {
    EXPECT_EQ(Utf8ToCp1251("Привет"), B({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}));
    EXPECT_EQ(Utf8ToCp1251("АЯаяЁё"), B({0xC0, 0xDF, 0xE0, 0xFF, 0xA8, 0xB8}));
    EXPECT_EQ(Utf8ToCp1251("№ €—«»"), B({0xB9, 0x20, 0x88, 0x97, 0xAB, 0xBB}));
}

TEST(Cp1251, DecodesRussianText) {
    EXPECT_EQ(Cp1251ToUtf8(B({0xC4, 0xEE, 0xF0, 0xEE, 0xE6, 0xEA, 0xE0})), "Дорожка");
    EXPECT_EQ(Cp1251ToUtf8(B({0x80, 0x8F, 0xA5, 0xB4, 0xBF})), "ЂЏҐґї");
}

TEST(Cp1251, LowerHalfPassesUnchanged) {
    Bytes all;
    std::string text;
    for (int b = 0; b < 0x80; ++b) {
        all.push_back(static_cast<std::uint8_t>(b));
        text.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Cp1251ToUtf8(all), text);
    EXPECT_EQ(Utf8ToCp1251(text), all);
}

TEST(Cp1251, EveryDefinedUpperByteSurvivesARoundTrip) {
    for (int b = 0x80; b < 0x100; ++b) {
        if (b == 0x98) continue;
        const Bytes one{static_cast<std::uint8_t>(b)};
        const std::string utf8 = Cp1251ToUtf8(one);
        EXPECT_GE(utf8.size(), 2u) << "byte " << b;
        EXPECT_EQ(Utf8ToCp1251(utf8), one) << "byte " << b;
    }
}

TEST(Cp1251, UndefinedByteDecodesAsQuestionMark) {
    EXPECT_EQ(Cp1251ToUtf8(B({0x41, 0x98, 0x42})), "A?B");
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a日b"), B({'a', '?', 'b'}));
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), B({'?'}));  // one 4-byte character
    EXPECT_EQ(Utf8ToCp1251("é"), B({'?'}));                 // Latin-1, not in 1251
}

TEST(Cp1251, MalformedUtf8BecomesOneQuestionMarkPerByte) {
    EXPECT_EQ(Utf8ToCp1251("\xC3"), B({'?'}));                    // cut sequence
    EXPECT_EQ(Utf8ToCp1251("\xD0x"), B({'?', 'x'}));              // bad continuation
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), B({'?', '?'}));           // overlong '/'
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), B({'?', '?', '?'}));  // surrogate
    EXPECT_EQ(Utf8ToCp1251("\xFF"), B({'?'}));
}

TEST(Cp1251, EmptyInputGivesEmptyOutput) {
    EXPECT_TRUE(Utf8ToCp1251("").empty());
    EXPECT_TRUE(Cp1251ToUtf8({}).empty());
}

}  // namespace
}  // namespace morvane
