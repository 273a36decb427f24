#include "ui/views/SectorView.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "model/Bytes.h"
#include "ui/views/MapCells.h"
#include "ui/views/MessageBoxHost.h"
#include "ui/views/QtText.h"
#include "ui/views/SectorEditor.h"
#include "ui/views/SectorHeaderEditor.h"

namespace morvane {

namespace {

QString SecFilter() {
    return Ui::tr("Файл сектора (*.sec)");
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

SectorView::SectorView(DiskImage& disk, QWidget* parent) : QWidget(parent), disk_(disk) {
    inputs_.rawBuilder = BuildShownRawTrack;
    hexView_ = new HexView(this);
    hexView_->setObjectName(QStringLiteral("s1"));
    headerGroup_ = new QGroupBox(this);
    headerGroup_->setObjectName(QStringLiteral("gb1"));
    auto* grid = new QGridLayout(headerGroup_);
    static const char* const kCaptions[] = {"Track -", "Side -", "Sector -", "Size -", "CRC -", ""};
    for (std::size_t i = 0; i < headerValues_.size(); ++i) {
        headerValues_[i] = new QLabel(headerGroup_);
        headerValues_[i]->setObjectName(QStringLiteral("an%1").arg(i + 1));
        headerValues_[i]->setMinimumWidth(
            headerValues_[i]->fontMetrics().horizontalAdvance(QStringLiteral("1024b ")));
        const int row = static_cast<int>(i);
        grid->addWidget(new QLabel(QString::fromLatin1(kCaptions[i]), headerGroup_), row, 0);
        grid->addWidget(headerValues_[i], row, 1);
    }
    headerGroup_->setVisible(false);
    acceptButton_ = new QPushButton(Ui::tr("Принять"), this);
    acceptButton_->setObjectName(QStringLiteral("pnb1"));
    saveButton_ = new QPushButton(Ui::tr("Сохранить"), this);
    saveButton_->setObjectName(QStringLiteral("pnb2"));
    loadButton_ = new QPushButton(Ui::tr("Загрузить"), this);
    loadButton_->setObjectName(QStringLiteral("pnb3"));
    for (QPushButton* b : {acceptButton_, saveButton_, loadButton_})
        b->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(acceptButton_);
    buttons->addWidget(saveButton_);
    buttons->addWidget(loadButton_);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(hexView_, 1);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addWidget(headerGroup_, 0, Qt::AlignTop);

    connect(hexView_, &HexView::byteChanged, this, [this] {
        if (!hexView_->isReadOnly()) acceptButton_->setEnabled(true);
    });
    connect(acceptButton_, &QPushButton::clicked, this, &SectorView::acceptEdits);
    connect(saveButton_, &QPushButton::clicked, this, &SectorView::saveShown);
    connect(loadButton_, &QPushButton::clicked, this, &SectorView::loadIntoView);
}

SectorView::~SectorView() = default;

QSize SectorView::sizeHint() const {
    QSize hint = QWidget::sizeHint();
    if (headerGroup_->isHidden())
        hint.rwidth() += headerGroup_->sizeHint().width() + layout()->spacing();
    return hint;
}

ImageEditHost& SectorView::Host() {
    if (host_ != nullptr) return *host_;
    if (!boxHost_) boxHost_ = std::make_unique<MessageBoxHost>(this);
    return *boxHost_;
}

SectorHeaderEditor* SectorView::headerEditor() {
    if (!headerEditor_) headerEditor_ = new SectorHeaderEditor(this);
    return headerEditor_;
}

SectorEditor* SectorView::sectorEditor() {
    if (!sectorEditor_) sectorEditor_ = new SectorEditor(this);
    return sectorEditor_;
}

void SectorView::showCell(int column, int row) {
    acceptButton_->setEnabled(false);
    emit logPageRequested();
    column_ = column;
    row_ = row;
    Apply(DescribeCell(disk_, column, row, inputs_));
}

void SectorView::showCellLabels(int column, int row) {
    const SectorCellView view = DescribeCell(disk_, column, row, SectorViewInputs{});
    emit trackLabelChanged(FromStd(view.trackLabel));
    emit sectorLabelChanged(FromStd(view.sectorLabel));
}

void SectorView::refreshAfterImageEdit(int column, int row) {
    if (column_ >= 0 && row_ >= 0) {
        SectorCellView view = DescribeCell(disk_, column_, row_, inputs_);
        view.log = SectorCellView::Log::Keep;
        const bool edited = acceptButton_->isEnabled() && view.hex == SectorCellView::Hex::Load &&
                            view.hexEditable.value_or(false) &&
                            view.bytes.size() == hexView_->Size();
        if (edited)
            view.hex = SectorCellView::Hex::Keep;
        else
            acceptButton_->setEnabled(false);
        Apply(view, false);
    }
    showCellLabels(column, row);
}

void SectorView::Apply(const SectorCellView& view, bool labels) {
    if (labels) {
        emit trackLabelChanged(FromStd(view.trackLabel));
        emit sectorLabelChanged(FromStd(view.sectorLabel));
    }
    emit dataCrcLabelChanged(FromStd(DataCrcLabelText(view.dataCrc)));
    if (view.ownerText) emit ownerTextChanged(FromStd(*view.ownerText));
    if (view.ownerBarVisible) emit ownerBarVisibilityChanged(*view.ownerBarVisible);
    if (view.headerVisible) headerGroup_->setVisible(*view.headerVisible);
    for (std::size_t i = 0; i < headerValues_.size(); ++i) {
        if (view.headerValues[i]) headerValues_[i]->setText(FromStd(*view.headerValues[i]));
    }
    if (view.hex == SectorCellView::Hex::Empty) hexView_->Clear();
    if (view.hex == SectorCellView::Hex::Load) hexView_->LoadBytes(view.bytes);
    if (view.hexEditable) hexView_->setReadOnly(!*view.hexEditable);
    if (view.saveLoadEnabled) {
        saveButton_->setEnabled(*view.saveLoadEnabled);
        loadButton_->setEnabled(*view.saveLoadEnabled);
    }
    if (view.log == SectorCellView::Log::Empty) emit logLinesChanged({});
    if (view.log == SectorCellView::Log::Replace) {
        QStringList lines;
        for (const std::string& line : view.logLines)
            lines << FromStd(line);
        emit logLinesChanged(lines);
    }
}

void SectorView::clearView() {
    hexView_->Clear();
    hexView_->setReadOnly(true);
    headerGroup_->setVisible(false);
    for (QPushButton* b : {acceptButton_, saveButton_, loadButton_})
        b->setEnabled(false);
    column_ = -1;
    row_ = -1;
    emit dataCrcLabelChanged(FromStd(DataCrcLabelText(std::nullopt)));
    emit trackLabelChanged(QString());
    emit sectorLabelChanged(QString());
}

void SectorView::acceptEdits() {
    // The bytes go back to the cell they were taken from, not to whatever cell became
    // current since (a right click moves the map's current cell without reloading).
    const AcceptTarget target = AcceptTargetFor(disk_, column_, row_);
    if (target != AcceptTarget::None && !hexView_->isReadOnly()) {
        const char* question =
            target == AcceptTarget::SectorData
                ? QT_TRANSLATE_NOOP("morvane::Ui", "Вы хотитете принять изменения сектора?")
                : QT_TRANSLATE_NOOP("morvane::Ui", "Вы хотитете принять изменения дорожки?");
        if (Host().Ask(
                {.caption = kCaptionAttention, .text = question, .buttons = Buttons::YesNo}) !=
                Answer::Yes ||
            !MayEdit())
            return;
        ApplyAccepted(disk_, column_, row_, hexView_->Contents());
        emit slotEdited(column_, row_);
        emit dataCrcLabelChanged(
            FromStd(DataCrcLabelText(DescribeCell(disk_, column_, row_, inputs_).dataCrc)));
    }
    acceptButton_->setEnabled(false);
}

void SectorView::saveShown() {
    QString path =
        QFileDialog::getSaveFileName(this, Ui::tr("Сохранить сектор..."), QString(), SecFilter(),
                                     nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".sec");
    saveToFile(path);
}

bool SectorView::saveToFile(const QString& path) {
    if (QFileInfo::exists(path) &&
        Host().Ask({.caption = kCaptionAttentionDots,
                    .text = QT_TRANSLATE_NOOP("morvane::Ui", "Файл уже существует! Перезаписать?"),
                    .buttons = Buttons::YesNo}) != Answer::Yes)
        return false;
    const FileWriteResult written = hexView_->SaveToFile(path);
    if (written) return true;
    // The reason goes on a line of its own, after the text the window translates.
    Host().Ask({.caption = kCaptionError,
                .text = std::string(QT_TRANSLATE_NOOP("morvane::Ui", "Не удалось записать файл!")) +
                        "\n" + written.reason});
    return false;
}

void SectorView::loadIntoView() {
    const QString path =
        QFileDialog::getOpenFileName(this, Ui::tr("Загрузить сектор..."), QString(), SecFilter());
    if (!path.isEmpty()) loadFromFile(path);
}

bool SectorView::loadFromFile(const QString& path) {
    // The file fills the shown buffer from its start; the buffer keeps its size, so a
    // longer file cannot grow a sector and a shorter one changes only its first bytes.
    if (hexView_->isReadOnly() || hexView_->Size() == 0) return false;
    Bytes bytes;
    if (!ReadWholeFile(path.toStdString(), bytes)) {
        Host().Ask({.caption = kCaptionError,
                    .text = QT_TRANSLATE_NOOP("morvane::Ui", "Не удалось прочитать файл!")});
        return false;
    }
    if (hexView_->OverwriteFrom(bytes) > 0) acceptButton_->setEnabled(true);
    return true;
}

void SectorView::openSectorEditor(int column, int row) {
    if (!OpensSectorEditor(disk_, column, row) || !MayEdit()) return;
    SectorSlot* slot =
        disk_.GetSlot(static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column - 1));
    if (slot == nullptr || !sectorEditor()->Edit(*slot)) return;
    if (column == column_ && row == row_) showCell(column, row);
    emit slotEdited(column, row);
}

void SectorView::editSectorAddress(int column, int row) {
    if (column < 1 || column >= kMapColumns || row < 0 || row >= kMapRows || !MayEdit()) return;
    SectorSlot* slot =
        disk_.GetSlot(static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column - 1));
    if (slot == nullptr || !headerEditor()->Edit(*slot)) return;
    emit slotEdited(column, row);
}

}  // namespace morvane
