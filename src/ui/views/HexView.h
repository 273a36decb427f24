// A hex view and editor of a fixed-size byte buffer: 16 bytes a line, hexadecimal offsets,
// the characters in Windows-1251 beside them. Editing overwrites (the size never changes
// by typing): hex digits in the hex column, characters in the text column; Ctrl+Tab
// switches columns, Tab and Shift+Tab move the focus on as in any other widget. The view
// holds a copy; CopyOut hands the bytes back.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <span>
#include <vector>

#include "model/FileWrite.h"
#include "ui/views/HexText.h"

namespace morvane {

class HexView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit HexView(QWidget* parent = nullptr);

    // Takes a copy of the bytes; the size becomes bytes.size(). The cursor goes home.
    void LoadBytes(std::span<const std::uint8_t> bytes);
    // Size 0.
    void Clear();
    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Contents() const { return bytes_; }
    // Copies min(Size(), dest.size()) bytes to dest; returns how many.
    std::size_t CopyOut(std::span<std::uint8_t> dest) const;
    // Overwrites the buffer from offset 0 with at most Size() bytes of source, without
    // changing the size; returns how many were written.
    std::size_t OverwriteFrom(std::span<const std::uint8_t> source);
    // The whole buffer as plain bytes; the previous file survives a failed write, which
    // says why.
    FileWriteResult SaveToFile(const QString& path) const;

    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    std::size_t cursorPosition() const { return cursor_; }
    bool cursorOnLowNibble() const { return lowNibble_; }
    bool cursorInTextColumn() const { return inText_; }
    void setCursorPosition(std::size_t position);
    int topLine() const;
    int visibleLineCount() const;
    // The character cell of the text grid, in pixels.
    int charWidth() const;
    int lineHeight() const;
    // A whole line beside the vertical scroll bar, sixteen lines high.
    QSize sizeHint() const override;

  signals:
    // The user changed the byte at offset (never emitted in read-only mode).
    void byteChanged(qsizetype offset);
    // The cursor is now on this byte (also after a load: offset 0).
    void cursorMoved(qsizetype offset);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int LineCount() const;
    HexColumns Columns() const { return HexColumns{HexOffsetDigits(bytes_.size())}; }
    void UpdateScrollBars();
    void MoveCursor(std::ptrdiff_t bytes, bool keepNibble = false);
    void StepNibble(int direction);
    void EnsureCursorVisible();
    void ShowCursor();
    void SetByte(std::size_t offset, std::uint8_t value);
    bool TypeHexDigit(int digit);
    bool TypeCharacter(QChar ch);

    std::vector<std::uint8_t> bytes_;
    bool readOnly_ = true;
    std::size_t cursor_ = 0;
    bool lowNibble_ = false;
    bool inText_ = false;
};

}  // namespace morvane
