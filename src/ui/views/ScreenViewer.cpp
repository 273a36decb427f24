#include "ui/views/ScreenViewer.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/views/OemText.h"
#include "ui/views/QtText.h"
#include "ui/views/ZxScreen.h"

namespace morvane {

namespace {

constexpr QSize kScreenWindow(266, 221);
// What the window adds around the picture.
constexpr QSize kScreenFrame = kScreenWindow - QSize(kZxScreenWidth, kZxScreenHeight);
// What a window manager usually puts around a window (title bar, borders).
constexpr QMargins kWindowManagerFrame{4, 30, 4, 4};

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

ScreenViewer::ScreenViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ScreenViewer"));
    setWindowTitle(QStringLiteral("ZX Screen"));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("im1"));
    picture_->setFixedSize(256, 192);
    picture_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture_, &QWidget::customContextMenuRequested, this, &ScreenViewer::ShowPictureMenu);
    for (int z = kZxMinZoom; z <= kZxMaxZoom; ++z) {
        QAction* a = new QAction(Ui::tr("Масштаб %1×").arg(z), this);
        a->setObjectName(QStringLiteral("actZoom%1").arg(z));
        a->setCheckable(true);
        a->setChecked(z == zoom_);
        a->setShortcut(QKeySequence(Qt::Key_0 + z));
        connect(a, &QAction::triggered, this, [this, z] { setZoom(z); });
        addAction(a);
        zoomActions_[static_cast<std::size_t>(z - 1)] = a;
    }
    screenHex_ = new HexView(this);
    screenHex_->setObjectName(QStringLiteral("ssh"));
    screenHex_->setReadOnly(true);

    textPane_ = new QWidget(this);
    textPane_->setObjectName(QStringLiteral("pn1"));
    auto* fontButton = new QToolButton(textPane_);
    fontButton->setText(Ui::tr("Шрифт"));
    auto* koiButton = new QToolButton(textPane_);
    koiButton->setText(QStringLiteral("KOI-8 -> ALT"));
    textMemo_ = new QPlainTextEdit(textPane_);
    textMemo_->setObjectName(QStringLiteral("m1"));
    // A viewer: the pane keeps the file's bytes so the code page conversion works on them.
    textMemo_->setReadOnly(true);
    textMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textMemo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textMemo_->setFont(TerminalFont());
    textMemo_->setContextMenuPolicy(Qt::CustomContextMenu);
    selectAll_ = new QAction(Ui::tr("Выделить все"), this);
    copy_ = new QAction(Ui::tr("Копировать"), this);
    connect(selectAll_, &QAction::triggered, textMemo_, &QPlainTextEdit::selectAll);
    connect(copy_, &QAction::triggered, textMemo_, &QPlainTextEdit::copy);
    connect(textMemo_, &QPlainTextEdit::copyAvailable, copy_, &QAction::setEnabled);
    copy_->setEnabled(false);
    connect(textMemo_, &QWidget::customContextMenuRequested, this, &ScreenViewer::ShowMemoMenu);
    connect(fontButton, &QToolButton::clicked, this, &ScreenViewer::chooseMemoFont);
    connect(koiButton, &QToolButton::clicked, this, &ScreenViewer::convertKoi8ToAlt);

    auto* strip = new QHBoxLayout;
    strip->addWidget(fontButton);
    strip->addWidget(koiButton);
    strip->addStretch();
    auto* paneLayout = new QVBoxLayout(textPane_);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->addLayout(strip);
    paneLayout->addWidget(textMemo_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(screenHex_, 1);
    layout->addWidget(textPane_, 1);
    HidePanes();
    setFixedSize(kScreenWindow);
}

void ScreenViewer::HidePanes() {
    picture_->hide();
    screenHex_->hide();
    textPane_->hide();
}

void ScreenViewer::PrepareScreen(std::span<const std::uint8_t> screen) {
    image_ = RenderZxScreen(screen);
    setWindowTitle(QStringLiteral("ZX Screen"));
    HidePanes();
    picture_->show();
    setZoom(zoom_);  // the screen, or its scale, may have changed since the last one
    ShowPicture();
}

void ScreenViewer::ShowPicture() {
    const QImage shown = ZoomedZxScreen(image_, zoom_, devicePixelRatioF());
    const QSize size = shown.deviceIndependentSize().toSize();
    picture_->setPixmap(QPixmap::fromImage(shown));
    picture_->setFixedSize(size);
    setFixedSize(size + kScreenFrame);
}

int ScreenViewer::maxZoom() const {
    const QScreen* shown = screen();
    if (shown == nullptr) return kZxMaxZoom;
    const QSize room =
        shown->availableGeometry().marginsRemoved(kWindowManagerFrame).size() - kScreenFrame;
    return LargestFittingZxZoom(room, devicePixelRatioF());
}

void ScreenViewer::MarkZoomItems() {
    const int most = maxZoom();
    for (int z = kZxMinZoom; z <= kZxMaxZoom; ++z) {
        zoomAction(z)->setChecked(z == zoom_);
        zoomAction(z)->setEnabled(z <= most);
    }
}

void ScreenViewer::setZoom(int zoom) {
    zoom = std::min(ClampZxZoom(zoom), maxZoom());
    const bool changed = zoom != zoom_;
    zoom_ = zoom;
    MarkZoomItems();
    if (!changed) return;
    if (!picture_->isHidden() && !image_.isNull()) ShowPicture();
    emit zoomChanged(zoom_);
}

void ScreenViewer::ShowPictureMenu(const QPoint& pos) {
    QMenu menu(this);
    for (QAction* a : zoomActions_)
        menu.addAction(a);
    menu.exec(picture_->mapToGlobal(pos));
}

void ScreenViewer::keyPressEvent(QKeyEvent* event) {
    if (!picture_->isHidden()) {
        if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal) {
            setZoom(zoom_ + 1);
            return;
        }
        if (event->key() == Qt::Key_Minus) {
            setZoom(zoom_ - 1);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void ScreenViewer::PrepareHex(std::span<const std::uint8_t> bytes) {
    screenHex_->LoadBytes(bytes);
    setWindowTitle(Ui::tr("Просмотр файла в HEX виде."));
    HidePanes();
    screenHex_->show();
    // As wide as a whole line (a fixed 558-pixel window cut the characters off), and the
    // user may resize it.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(screenHex_->sizeHint());
}

void ScreenViewer::PrepareText(std::span<const std::uint8_t> bytes) {
    lines_ = SplitLines(bytes);
    RefreshMemo();
    setWindowTitle(Ui::tr("Просмотр файла в TXT виде."));
    HidePanes();
    textPane_->show();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void ScreenViewer::ShowScreen(std::span<const std::uint8_t> screen) {
    PrepareScreen(screen);
    exec();
}

void ScreenViewer::ShowHex(std::span<const std::uint8_t> bytes) {
    PrepareHex(bytes);
    exec();
}

void ScreenViewer::ShowText(std::span<const std::uint8_t> bytes) {
    PrepareText(bytes);
    exec();
}

void ScreenViewer::RefreshMemo() {
    QStringList text;
    for (const auto& line : lines_)
        text << Cp866ToText(line);
    textMemo_->setPlainText(text.join(QLatin1Char('\n')));
}

void ScreenViewer::convertKoi8ToAlt() {
    for (auto& line : lines_)
        Koi8ToAlt(line);
    RefreshMemo();
}

void ScreenViewer::chooseMemoFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, textMemo_->font(), this);
    if (ok) textMemo_->setFont(font);
}

void ScreenViewer::ShowMemoMenu(const QPoint& pos) {
    copy_->setEnabled(textMemo_->textCursor().hasSelection());
    QMenu menu(this);
    menu.addAction(selectAll_);
    menu.addAction(copy_);
    menu.exec(textMemo_->mapToGlobal(pos));
}

void ScreenViewer::hideEvent(QHideEvent* event) {
    // A window-system hide (minimising the owner) is not a close.
    if (!event->spontaneous()) {
        HidePanes();
        setFixedSize(size());
    }
    QDialog::hideEvent(event);
}

}  // namespace morvane
