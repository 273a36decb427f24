#include "ui/views/HexView.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <array>
#include <numeric>

#include "model/Bytes.h"

namespace morvane {
namespace {

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), std::uint8_t{0});
    return v;
}

TEST(HexText, LineHasOffsetColonHexAndCharacters) {
    const std::uint8_t bytes[] = {0x41, 0x42, 0x00, 0xC0, 0xFF};
    const QString line = HexLine(0x10, bytes, 4);
    EXPECT_TRUE(line.startsWith("0010: 41 42 00 C0 FF ")) << line.toStdString();
    const HexColumns cols{4};
    EXPECT_EQ(line.mid(cols.TextStart(), 5), QString::fromUtf8("AB.Ая"));
    EXPECT_EQ(line.size(), cols.LineLength());
}

TEST(HexText, LongBuffersGetEightDigitOffsets) {
    EXPECT_EQ(HexOffsetDigits(6500), 4);
    EXPECT_EQ(HexOffsetDigits(0x10000), 4);
    EXPECT_EQ(HexOffsetDigits(0x10001), 8);
    const std::uint8_t b[] = {1};
    EXPECT_TRUE(HexLine(0x12340, b, 8).startsWith("00012340: 01"));
}

TEST(HexText, CharactersAreWindows1251) {
    EXPECT_EQ(HexDisplayChar(0xC0), QChar(0x0410));
    EXPECT_EQ(HexDisplayChar(0xB9), QChar(0x2116));
    EXPECT_EQ(HexDisplayChar(0x98), QLatin1Char('.'));
    EXPECT_EQ(HexDisplayChar(0x0A), QLatin1Char('.'));
    EXPECT_EQ(HexByteOfChar(QChar(0x044F)), std::optional<std::uint8_t>(0xFF));
    EXPECT_EQ(HexByteOfChar(QLatin1Char('?')), std::optional<std::uint8_t>('?'));
    EXPECT_FALSE(HexByteOfChar(QChar(0x4E2D)).has_value());
    EXPECT_FALSE(HexByteOfChar(QLatin1Char('\n')).has_value());
}

class HexViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view.resize(600, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QObject::connect(&view, &HexView::byteChanged,
                         [this](qsizetype offset) { changed.push_back(offset); });
    }
    HexView view;
    std::vector<qsizetype> changed;
};

TEST_F(HexViewTest, LoadTakesACopyAndSetsSize) {
    std::vector<std::uint8_t> source = Counting(300);
    view.LoadBytes(source);
    source[0] = 0xEE;
    EXPECT_EQ(view.Size(), 300u);
    EXPECT_EQ(view.Contents()[0], 0);
    view.Clear();
    EXPECT_EQ(view.Size(), 0u);
}

TEST_F(HexViewTest, CopyOutNeverWritesPastEitherBuffer) {
    view.LoadBytes(Counting(20));
    std::array<std::uint8_t, 32> big{};
    big.fill(0xAA);
    EXPECT_EQ(view.CopyOut(big), 20u);
    EXPECT_EQ(big[19], 19);
    EXPECT_EQ(big[20], 0xAA);
    std::array<std::uint8_t, 8> small{};
    EXPECT_EQ(view.CopyOut(small), 8u);
    EXPECT_EQ(small[7], 7);
}

TEST_F(HexViewTest, OverwriteKeepsSize) {
    view.LoadBytes(Counting(4));
    const std::vector<std::uint8_t> longer(10, 0x55);
    EXPECT_EQ(view.OverwriteFrom(longer), 4u);
    EXPECT_EQ(view.Size(), 4u);
    const std::uint8_t shorter[] = {1};
    EXPECT_EQ(view.OverwriteFrom(shorter), 1u);
    EXPECT_EQ(view.Contents(), (std::vector<std::uint8_t>{1, 0x55, 0x55, 0x55}));
}

TEST_F(HexViewTest, ReadOnlyIgnoresTyping) {
    view.LoadBytes(Counting(16));
    view.setReadOnly(true);
    QTest::keyClicks(&view, "ff");
    EXPECT_EQ(view.Contents()[0], 0);
    EXPECT_TRUE(changed.empty());
}

TEST_F(HexViewTest, HexDigitsOverwriteNibblesAndAdvance) {
    view.LoadBytes(Counting(16));
    view.setReadOnly(false);
    QTest::keyClicks(&view, "a5B");
    EXPECT_EQ(view.Contents()[0], 0xA5);
    EXPECT_EQ(view.Contents()[1], 0xB1);
    EXPECT_EQ(view.cursorPosition(), 1u);
    EXPECT_TRUE(view.cursorOnLowNibble());
    EXPECT_EQ(changed, (std::vector<qsizetype>{0, 0, 1}));
    QTest::keyClicks(&view, "xz");  // not hex digits
    EXPECT_EQ(view.Contents()[1], 0xB1);
}

TEST_F(HexViewTest, TypingAtLastByteStaysInBuffer) {
    view.LoadBytes(Counting(2));
    view.setReadOnly(false);
    QTest::keyClicks(&view, "112233");
    EXPECT_EQ(view.Size(), 2u);
    EXPECT_EQ(view.Contents()[0], 0x11);
    EXPECT_EQ(view.Contents()[1], 0x23) << "the last nibble takes the further digits";
}

TEST_F(HexViewTest, CtrlTabSwitchesToTextColumnWhereCharactersAreTyped) {
    view.LoadBytes(Counting(16));
    view.setReadOnly(false);
    QTest::keyClick(&view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(view.cursorInTextColumn());
    QTest::keyClick(&view, 'Z');
    QKeyEvent cyrillic(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("я"));
    QApplication::sendEvent(&view, &cyrillic);
    EXPECT_EQ(view.Contents()[0], 'Z');
    EXPECT_EQ(view.Contents()[1], 0xFF);
    EXPECT_EQ(view.cursorPosition(), 2u);
    QTest::keyClick(&view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(view.cursorInTextColumn());
}

TEST(HexViewFocus, TabAndBacktabLeaveTheView) {
    QWidget form;
    auto* before = new QLineEdit(&form);
    auto* view = new HexView(&form);
    auto* after = new QLineEdit(&form);
    auto* layout = new QVBoxLayout(&form);
    for (QWidget* w :
         {static_cast<QWidget*>(before), static_cast<QWidget*>(view), static_cast<QWidget*>(after)})
        layout->addWidget(w);
    view->LoadBytes(Counting(16));
    view->setReadOnly(false);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    view->setFocus();
    ASSERT_TRUE(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_FALSE(view->cursorInTextColumn());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
}

// On a Russian layout the keys of A..F report the Cyrillic letters printed beside them;
// the hex column takes the key, whatever letter it produces.
TEST_F(HexViewTest, HexDigitsComeFromTheKeysOnARussianLayout) {
    view.LoadBytes(Counting(3));
    view.setReadOnly(false);
    // The letters on the keys A, B, C, D, E, F.
    for (const char16_t key : {u'ф', u'и', u'с', u'в', u'у', u'а'}) {
        const QChar letter(key);
        QTest::sendKeyEvent(QTest::Click, &view, static_cast<Qt::Key>(letter.toUpper().unicode()),
                            QString(letter), Qt::NoModifier);
    }
    EXPECT_EQ(view.Contents(), (std::vector<std::uint8_t>{0xAB, 0xCD, 0xEF}));
    QTest::sendKeyEvent(QTest::Click, &view, static_cast<Qt::Key>(0x0416), QStringLiteral("ж"),
                        Qt::NoModifier);
    EXPECT_EQ(view.Contents()[2], 0xEF) << "other letters are no digits";
}

TEST_F(HexViewTest, ArrowsHomeEndAndPagesMoveTheCursor) {
    view.LoadBytes(Counting(1000));
    view.setCursorPosition(20);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.cursorPosition(), 36u);
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(view.cursorPosition(), 4u);
    QTest::keyClick(&view, Qt::Key_Up);  // clamps at the start
    EXPECT_EQ(view.cursorPosition(), 0u);
    view.setCursorPosition(20);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.cursorPosition(), 16u);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.cursorPosition(), 31u);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.cursorPosition(), 999u);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.cursorPosition(), 0u);
    QTest::keyClick(&view, Qt::Key_Right);  // high -> low nibble
    EXPECT_EQ(view.cursorPosition(), 0u);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.cursorPosition(), 1u);
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.cursorPosition(), 0u);
    EXPECT_TRUE(view.cursorOnLowNibble());
    const std::size_t page = static_cast<std::size_t>(view.visibleLineCount()) * 16;
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(view.cursorPosition(), page);
    QTest::keyClick(&view, Qt::Key_PageUp);
    EXPECT_EQ(view.cursorPosition(), 0u);
}

TEST_F(HexViewTest, CursorMovesKeepItVisible) {
    view.LoadBytes(Counting(4000));
    EXPECT_EQ(view.topLine(), 0);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    const int line = static_cast<int>(3999 / 16);
    EXPECT_LE(view.topLine(), line);
    EXPECT_GT(view.topLine() + view.visibleLineCount(), line);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.topLine(), 0);
}

TEST_F(HexViewTest, ClickPlacesCursorOnByteUnderMouse) {
    view.LoadBytes(Counting(64));
    const int cw = view.charWidth();
    const int lh = view.lineHeight();
    const HexColumns cols{4};
    // Second line, byte 3, low nibble; then the text column of byte 5.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      QPoint(4 + (cols.HexOf(3) + 1) * cw + cw / 2, lh + lh / 2));
    EXPECT_EQ(view.cursorPosition(), 19u);
    EXPECT_TRUE(view.cursorOnLowNibble());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      QPoint(4 + cols.TextOf(5) * cw + cw / 2, lh / 2));
    EXPECT_EQ(view.cursorPosition(), 5u);
    EXPECT_TRUE(view.cursorInTextColumn());
}

TEST_F(HexViewTest, SaveWritesWholeBufferAsPlainBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    view.LoadBytes(Counting(300));
    const QString path = dir.filePath("x.sec");
    ASSERT_TRUE(view.SaveToFile(path));
    Bytes read;
    ASSERT_TRUE(ReadWholeFile(path.toStdString(), read));
    EXPECT_EQ(read, Counting(300));
}

}  // namespace
}  // namespace morvane
