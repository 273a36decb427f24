#include "ui/views/ScreenViewer.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QMenu>
#include <QPixmap>
#include <QVBoxLayout>

#include "ui/views/OemText.h"
#include "ui/views/ZxScreen.h"

namespace morvane {

namespace {

constexpr QSize kScreenWindow(266, 221);

QFont TerminalFont() {
    QFont font(QStringLiteral("Terminal"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(19);
    if (!QFontInfo(font).fixedPitch())
        font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    return font;
}

}  // namespace

TFmScr::TFmScr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFmScr"));
    setWindowTitle(QStringLiteral("ZX Screen"));
    im1_ = new QLabel(this);
    im1_->setObjectName(QStringLiteral("im1"));
    im1_->setFixedSize(256, 192);
    ssh_ = new HexView(this);
    ssh_->setObjectName(QStringLiteral("ssh"));
    ssh_->setReadOnly(true);

    pn1_ = new QWidget(this);
    pn1_->setObjectName(QStringLiteral("pn1"));
    auto* fontButton = new QToolButton(pn1_);
    fontButton->setText(QStringLiteral("Шрифт"));
    auto* koiButton = new QToolButton(pn1_);
    koiButton->setText(QStringLiteral("KOI-8 -> ALT"));
    m1_ = new QPlainTextEdit(pn1_);
    m1_->setObjectName(QStringLiteral("m1"));
    // A viewer: the pane keeps the file's bytes so the code page conversion works on them.
    m1_->setReadOnly(true);
    m1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    m1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m1_->setFont(TerminalFont());
    m1_->setContextMenuPolicy(Qt::CustomContextMenu);
    selectAll_ = new QAction(QStringLiteral("Выделить все"), this);
    copy_ = new QAction(QStringLiteral("Копировать"), this);
    connect(selectAll_, &QAction::triggered, m1_, &QPlainTextEdit::selectAll);
    connect(copy_, &QAction::triggered, m1_, &QPlainTextEdit::copy);
    connect(m1_, &QPlainTextEdit::copyAvailable, copy_, &QAction::setEnabled);
    copy_->setEnabled(false);
    connect(m1_, &QWidget::customContextMenuRequested, this, &TFmScr::ShowMemoMenu);
    connect(fontButton, &QToolButton::clicked, this, &TFmScr::chooseMemoFont);
    connect(koiButton, &QToolButton::clicked, this, &TFmScr::convertKoi8ToAlt);

    auto* strip = new QHBoxLayout;
    strip->addWidget(fontButton);
    strip->addWidget(koiButton);
    strip->addStretch();
    auto* paneLayout = new QVBoxLayout(pn1_);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->addLayout(strip);
    paneLayout->addWidget(m1_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(im1_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(ssh_, 1);
    layout->addWidget(pn1_, 1);
    HidePanes();
    setFixedSize(kScreenWindow);
}

void TFmScr::HidePanes() {
    im1_->hide();
    ssh_->hide();
    pn1_->hide();
}

void TFmScr::PrepareScreen(std::span<const std::uint8_t> screen) {
    image_ = RenderZxScreen(screen);
    im1_->setPixmap(QPixmap::fromImage(image_));
    setWindowTitle(QStringLiteral("ZX Screen"));
    HidePanes();
    im1_->show();
    setFixedSize(kScreenWindow);
}

void TFmScr::PrepareHex(std::span<const std::uint8_t> bytes) {
    ssh_->LoadBytes(bytes);
    setWindowTitle(QStringLiteral("Просмотр файла в HEX виде."));
    HidePanes();
    ssh_->show();
    // As wide as a whole line (a fixed 558-pixel window cut the characters off), and the
    // user may resize it.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(ssh_->sizeHint());
}

void TFmScr::PrepareText(std::span<const std::uint8_t> bytes) {
    lines_ = SplitLines(bytes);
    RefreshMemo();
    setWindowTitle(QStringLiteral("Просмотр файла в TXT виде."));
    HidePanes();
    pn1_->show();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void TFmScr::ShowScreen(std::span<const std::uint8_t> screen) {
    PrepareScreen(screen);
    exec();
}

void TFmScr::ShowHex(std::span<const std::uint8_t> bytes) {
    PrepareHex(bytes);
    exec();
}

void TFmScr::ShowText(std::span<const std::uint8_t> bytes) {
    PrepareText(bytes);
    exec();
}

void TFmScr::RefreshMemo() {
    QStringList text;
    for (const auto& line : lines_)
        text << Cp866ToText(line);
    m1_->setPlainText(text.join(QLatin1Char('\n')));
}

void TFmScr::convertKoi8ToAlt() {
    for (auto& line : lines_)
        Koi8ToAlt(line);
    RefreshMemo();
}

void TFmScr::chooseMemoFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m1_->font(), this);
    if (ok) m1_->setFont(font);
}

void TFmScr::ShowMemoMenu(const QPoint& pos) {
    copy_->setEnabled(m1_->textCursor().hasSelection());
    QMenu menu(this);
    menu.addAction(selectAll_);
    menu.addAction(copy_);
    menu.exec(m1_->mapToGlobal(pos));
}

void TFmScr::hideEvent(QHideEvent* event) {
    // A window-system hide (minimising the owner) is not a close.
    if (!event->spontaneous()) {
        HidePanes();
        setFixedSize(size());
    }
    QDialog::hideEvent(event);
}

}  // namespace morvane
