#include "ui/views/HexView.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "model/Bytes.h"

namespace morvane {

namespace {

constexpr int kMargin = 4;
constexpr int kHintLines = 16;

QFont DefaultHexFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(9);
    if (!QFontInfo(font).fixedPitch())
        font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    return font;
}

// The digit of a key. With a Russian layout active the keys A..F report the Cyrillic
// letters printed on them (Ф И С В У А), which stand for the same digits.
int HexDigitOf(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
    if (key >= Qt::Key_A && key <= Qt::Key_F) return key - Qt::Key_A + 10;
    constexpr char16_t kRussianAtoF[] = {u'Ф', u'И', u'С', u'В', u'У', u'А'};
    for (int i = 0; i < 6; ++i) {
        if (key == kRussianAtoF[i]) return 10 + i;
    }
    return -1;
}

}  // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(DefaultHexFont());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollBars();
}

void HexView::LoadBytes(std::span<const std::uint8_t> bytes) {
    bytes_.assign(bytes.begin(), bytes.end());
    cursor_ = 0;
    lowNibble_ = false;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    updateGeometry();  // the offsets may have grown to eight digits
    viewport()->update();
    emit cursorMoved(0);
}

void HexView::Clear() {
    LoadBytes({});
}

std::size_t HexView::CopyOut(std::span<std::uint8_t> dest) const {
    const std::size_t n = std::min(dest.size(), bytes_.size());
    std::copy_n(bytes_.begin(), n, dest.begin());
    return n;
}

std::size_t HexView::OverwriteFrom(std::span<const std::uint8_t> source) {
    const std::size_t n = std::min(source.size(), bytes_.size());
    std::copy_n(source.begin(), n, bytes_.begin());
    viewport()->update();
    return n;
}

FileWriteResult HexView::SaveToFile(const QString& path) const {
    return WriteFileAtomically(path.toStdString(), bytes_);
}

void HexView::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    viewport()->update();
}

void HexView::setCursorPosition(std::size_t position) {
    cursor_ = bytes_.empty() ? 0 : std::min(position, bytes_.size() - 1);
    lowNibble_ = false;
    ShowCursor();
}

int HexView::LineCount() const {
    return static_cast<int>((bytes_.size() + kHexBytesPerLine - 1) / kHexBytesPerLine);
}

int HexView::charWidth() const {
    const qreal advance = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    return std::max(1, static_cast<int>(std::ceil(advance)));
}

int HexView::lineHeight() const {
    return std::max(1, fontMetrics().height());
}

QSize HexView::sizeHint() const {
    const int frame = 2 * frameWidth();
    const int width = frame + 2 * kMargin + Columns().LineLength() * charWidth() +
                      verticalScrollBar()->sizeHint().width();
    return QSize(width, frame + kHintLines * lineHeight());
}

int HexView::topLine() const {
    return verticalScrollBar()->value();
}

int HexView::visibleLineCount() const {
    return std::max(1, viewport()->height() / lineHeight());
}

void HexView::UpdateScrollBars() {
    const int visible = visibleLineCount();
    verticalScrollBar()->setRange(0, std::max(0, LineCount() - visible));
    verticalScrollBar()->setPageStep(visible);
    const int width = 2 * kMargin + Columns().LineLength() * charWidth();
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(charWidth());
}

void HexView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void HexView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateScrollBars();
        updateGeometry();
        viewport()->update();
    }
}

void HexView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QPalette& pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    const HexColumns cols = Columns();
    const int cw = charWidth();
    const int lh = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int x0 = kMargin - horizontalScrollBar()->value();
    const int first = topLine();
    const int last = std::min(LineCount(), first + visibleLineCount() + 1);
    const std::span<const std::uint8_t> all(bytes_);
    for (int line = first; line < last; ++line) {
        const std::size_t offset = static_cast<std::size_t>(line) * kHexBytesPerLine;
        const std::size_t n = std::min(kHexBytesPerLine, bytes_.size() - offset);
        const int y = (line - first) * lh;
        const std::size_t cursorLine = cursor_ / kHexBytesPerLine;
        if (static_cast<std::size_t>(line) == cursorLine && !bytes_.empty()) {
            const std::size_t i = cursor_ % kHexBytesPerLine;
            const QColor mark =
                readOnly_ ? pal.color(QPalette::Mid) : pal.color(QPalette::Highlight);
            const int hexX = x0 + (cols.HexOf(i) + (lowNibble_ ? 1 : 0)) * cw;
            const int textX = x0 + cols.TextOf(i) * cw;
            // The active column gets a filled cursor, the other one a frame.
            const QRect hexRect(inText_ ? x0 + cols.HexOf(i) * cw : hexX, y, inText_ ? 2 * cw : cw,
                                lh);
            const QRect textRect(textX, y, cw, lh);
            painter.fillRect(inText_ ? textRect : hexRect, mark);
            painter.setPen(mark);
            painter.drawRect((inText_ ? hexRect : textRect).adjusted(0, 0, -1, -1));
        }
        painter.setPen(pal.color(QPalette::Text));
        // Character by character at the column grid that the cursor and the mouse use,
        // so that a glyph from a fallback font cannot shift the rest of the line.
        const QString text = HexLine(offset, all.subspan(offset, n), cols.offsetDigits);
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] != QLatin1Char(' '))
                painter.drawText(x0 + i * cw, y + ascent, QString(text[i]));
        }
    }
}

void HexView::EnsureCursorVisible() {
    const int line = static_cast<int>(cursor_ / kHexBytesPerLine);
    if (line < topLine())
        verticalScrollBar()->setValue(line);
    else if (line >= topLine() + visibleLineCount())
        verticalScrollBar()->setValue(line - visibleLineCount() + 1);
    const HexColumns cols = Columns();
    const std::size_t i = cursor_ % kHexBytesPerLine;
    const int cw = charWidth();
    const int x = kMargin + (inText_ ? cols.TextOf(i) : cols.HexOf(i)) * cw;
    QScrollBar* h = horizontalScrollBar();
    if (x < h->value())
        h->setValue(x - kMargin);
    else if (x + 2 * cw > h->value() + viewport()->width())
        h->setValue(x + 2 * cw - viewport()->width());
}

void HexView::ShowCursor() {
    EnsureCursorVisible();
    viewport()->update();
    emit cursorMoved(static_cast<qsizetype>(cursor_));
}

void HexView::MoveCursor(std::ptrdiff_t bytes, bool keepNibble) {
    if (bytes_.empty()) return;
    const auto last = static_cast<std::ptrdiff_t>(bytes_.size() - 1);
    const std::ptrdiff_t target =
        std::clamp(static_cast<std::ptrdiff_t>(cursor_) + bytes, std::ptrdiff_t{0}, last);
    cursor_ = static_cast<std::size_t>(target);
    if (!keepNibble) lowNibble_ = false;
    ShowCursor();
}

void HexView::StepNibble(int direction) {
    if (inText_) return MoveCursor(direction);
    if (direction > 0) {
        if (!lowNibble_) {
            lowNibble_ = true;
        } else if (cursor_ + 1 < bytes_.size()) {
            ++cursor_;
            lowNibble_ = false;
        }
    } else {
        if (lowNibble_) {
            lowNibble_ = false;
        } else if (cursor_ > 0) {
            --cursor_;
            lowNibble_ = true;
        }
    }
    ShowCursor();
}

void HexView::SetByte(std::size_t offset, std::uint8_t value) {
    if (offset >= bytes_.size()) return;
    const bool changed = bytes_[offset] != value;
    bytes_[offset] = value;
    viewport()->update();
    if (changed) emit byteChanged(static_cast<qsizetype>(offset));
}

bool HexView::TypeHexDigit(int digit) {
    if (readOnly_ || bytes_.empty() || digit < 0) return false;
    const std::uint8_t old = bytes_[cursor_];
    const auto value =
        static_cast<std::uint8_t>(lowNibble_ ? (old & 0xF0) | digit : (old & 0x0F) | (digit << 4));
    SetByte(cursor_, value);
    StepNibble(+1);
    return true;
}

bool HexView::TypeCharacter(QChar ch) {
    if (readOnly_ || bytes_.empty()) return false;
    const std::optional<std::uint8_t> byte = HexByteOfChar(ch);
    if (!byte) return false;
    SetByte(cursor_, *byte);
    MoveCursor(1);
    return true;
}

void HexView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const auto line = static_cast<std::ptrdiff_t>(kHexBytesPerLine);
    const std::ptrdiff_t inLine = static_cast<std::ptrdiff_t>(cursor_ % kHexBytesPerLine);
    const auto page = static_cast<std::ptrdiff_t>(visibleLineCount()) * line;
    switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Plain Tab has moved the focus on before it comes here.
            if (!ctrl) break;
            inText_ = !inText_;
            lowNibble_ = false;
            EnsureCursorVisible();
            viewport()->update();
            return;
        case Qt::Key_Left:
        case Qt::Key_Backspace:
            return StepNibble(-1);
        case Qt::Key_Right:
            return StepNibble(+1);
        case Qt::Key_Up:
            return MoveCursor(-line, true);
        case Qt::Key_Down:
            return MoveCursor(line, true);
        case Qt::Key_PageUp:
            verticalScrollBar()->setValue(topLine() - visibleLineCount());
            return MoveCursor(-page, true);
        case Qt::Key_PageDown:
            verticalScrollBar()->setValue(topLine() + visibleLineCount());
            return MoveCursor(page, true);
        case Qt::Key_Home:
            return MoveCursor(ctrl ? -static_cast<std::ptrdiff_t>(cursor_) : -inLine);
        case Qt::Key_End:
            return MoveCursor(ctrl ? static_cast<std::ptrdiff_t>(bytes_.size())
                                   : line - 1 - inLine);
        default:
            break;
    }
    if (!ctrl) {
        const QString text = event->text();
        if (inText_) {
            if (text.size() == 1 && TypeCharacter(text.front())) return;
        } else if (TypeHexDigit(HexDigitOf(event->key()))) {
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void HexView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (bytes_.empty() || event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const int col = (pos.x() + horizontalScrollBar()->value() - kMargin) / charWidth();
    const int lineIndex = topLine() + pos.y() / lineHeight();
    const HexColumns cols = Columns();
    int index = -1;
    bool text = false;
    bool low = false;
    if (col >= cols.HexStart() && col < cols.TextStart() - 1) {
        index = (col - cols.HexStart()) / 3;
        low = (col - cols.HexStart()) % 3 == 1;
    } else if (col >= cols.TextStart() && col < cols.LineLength()) {
        index = col - cols.TextStart();
        text = true;
    }
    if (index < 0) return;
    const std::size_t offset =
        static_cast<std::size_t>(lineIndex) * kHexBytesPerLine + static_cast<std::size_t>(index);
    if (offset >= bytes_.size()) return;
    cursor_ = offset;
    inText_ = text;
    lowNibble_ = low && !text;
    ShowCursor();
}

}  // namespace morvane
