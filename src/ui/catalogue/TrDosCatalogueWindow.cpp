#include "ui/catalogue/TrDosCatalogueWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "filesystems/TrDosEditing.h"
#include "filesystems/TrDosNameRule.h"
#include "filesystems/TrDosSectors.h"
#include "model/Cp1251.h"
#include "ui/catalogue/CatalogueEditTexts.h"
#include "ui/views/QtText.h"
#include "ui/views/ShownText.h"

namespace morvane {

namespace {

// Columns without a width of their own: wide enough for four hex digits and the header.
constexpr int kDefaultColumnWidth = 50;

}  // namespace

TrDosCatalogueWindow::TrDosCatalogueWindow(TrDosWindowContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("ZXCAT"));
    setWindowTitle(UiText(kTrDosWindowCaption));

    fileList_ = new QTreeWidget(this);
    fileList_->setObjectName(QStringLiteral("LV1"));
    fileList_->setRootIsDecorated(false);
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList_->setColumnCount(static_cast<int>(kTrDosColumns.size()));
    QStringList headers;
    for (const ListColumn& c : kTrDosColumns)
        headers << QText(c.header);
    fileList_->setHeaderLabels(headers);
    for (int i = 0; i < static_cast<int>(kTrDosColumns.size()); ++i) {
        const int width = kTrDosColumns[static_cast<std::size_t>(i)].width;
        fileList_->setColumnWidth(i, width > 0 ? width : kDefaultColumnWidth);
        if (i > 0) fileList_->headerItem()->setTextAlignment(i, Qt::AlignCenter);
    }
    fileList_->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* group = new QGroupBox(Ui::tr("Описание диска"), this);
    auto* grid = new QGridLayout(group);
    for (std::size_t i = 0; i < kTrDosDescriptionLabels.size(); ++i) {
        auto* caption = new QLabel(ShownText(kTrDosDescriptionLabels[i]), group);
        auto* value = new QLabel(group);
        value->setObjectName(QStringLiteral("value%1").arg(i + 1));
        grid->addWidget(caption, static_cast<int>(i), 0);
        grid->addWidget(value, static_cast<int>(i), 1);
        values_.push_back(value);
    }
    auto* close = new QPushButton(Ui::tr("Закрыть"), this);
    close->setObjectName(QStringLiteral("bClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(group);
    side->addStretch();
    side->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fileList_, 1);
    layout->addLayout(side);

    BuildMenu();
    connect(fileList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateMenu();
        menu_->popup(fileList_->viewport()->mapToGlobal(pos));
    });
    resize(720, 440);
}

void TrDosCatalogueWindow::BuildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](std::string_view caption, void (TrDosCatalogueWindow::*command)()) {
        QAction* a = menu_->addAction(UiText(caption));
        if (command != nullptr) connect(a, &QAction::triggered, this, command);
        actions_.push_back(a);
        return a;
    };
    add(kMenuViewScreen, &TrDosCatalogueWindow::ViewScreen);
    add(kMenuViewHex, &TrDosCatalogueWindow::ViewHex);
    add(kMenuViewBasic, &TrDosCatalogueWindow::ViewBasic);
    menu_->addSeparator();
    add(kMenuCompact, &TrDosCatalogueWindow::Compact);
    add(kMenuRenameDisk, &TrDosCatalogueWindow::RenameDisk);
    QAction* deleted = add(kMenuShowDeleted, nullptr);
    deleted->setCheckable(true);
    connect(deleted, &QAction::toggled, this, &TrDosCatalogueWindow::SetShowDeleted);
    menu_->addSeparator();
    add(kMenuSaveHobeta, &TrDosCatalogueWindow::SaveHobeta);
    add(kMenuSaveScl, &TrDosCatalogueWindow::SaveScl);
    add(kMenuSaveBin, &TrDosCatalogueWindow::SaveBin);
    add(kMenuSaveTap, &TrDosCatalogueWindow::SaveTap);
    menu_->addSeparator();
    add(kMenuEditHeader, &TrDosCatalogueWindow::EditHeader);
    add(kMenuAddFiles, &TrDosCatalogueWindow::AddFiles);
    add(kMenuAddPlainFile, &TrDosCatalogueWindow::AddPlainFiles);
    add(kMenuDeleteFiles, &TrDosCatalogueWindow::DeleteFiles);
}

QAction* TrDosCatalogueWindow::Action(std::string_view caption) const {
    const QString text = UiText(caption);
    for (QAction* a : actions_)
        if (a->text() == text) return a;
    return nullptr;
}

bool TrDosCatalogueWindow::LoadFromImage() {
    TrDosCatalogue read;
    if (!ReadTrDosCatalogue(*context_.disk, read)) return false;
    catalogue_ = std::move(read);
    fromImage_ = true;
    Fill();
    return true;
}

bool TrDosCatalogueWindow::LoadFromDisk(std::span<const std::uint8_t> track0) {
    TrDosCatalogue read;
    if (!ParseTrDosCatalogue(track0, read)) return false;
    catalogue_ = std::move(read);
    fromImage_ = false;
    Fill();
    return true;
}

void TrDosCatalogueWindow::Fill() {
    const std::array<std::string, 7> values = TrDosDescriptionValues(catalogue_);
    for (std::size_t i = 0; i < values.size(); ++i)
        values_[i]->setText(ShownText(values[i]));
    fileList_->clear();
    for (std::size_t index : ListedEntries(catalogue_, showDeleted_)) {
        const std::array<std::string, 7> texts = TrDosRowTexts(catalogue_.entries[index]);
        auto* item = new QTreeWidgetItem(fileList_);
        for (int c = 0; c < static_cast<int>(texts.size()); ++c) {
            item->setText(c, QString::fromStdString(texts[static_cast<std::size_t>(c)]));
            if (c > 0) item->setTextAlignment(c, Qt::AlignCenter);
        }
    }
}

QStringList TrDosCatalogueWindow::DescriptionValues() const {
    QStringList out;
    for (QLabel* l : values_)
        out << l->text();
    return out;
}

void TrDosCatalogueWindow::SelectRows(const std::vector<int>& rows) {
    fileList_->clearSelection();
    for (int r : rows)
        if (QTreeWidgetItem* item = fileList_->topLevelItem(r)) item->setSelected(true);
}

std::vector<std::size_t> TrDosCatalogueWindow::SelectedEntries() const {
    std::vector<std::size_t> out;
    for (int r = 0; r < fileList_->topLevelItemCount(); ++r) {
        if (!fileList_->topLevelItem(r)->isSelected()) continue;
        if (auto e = EntryOfRow(catalogue_, showDeleted_, static_cast<std::size_t>(r)))
            out.push_back(*e);
    }
    return out;
}

const TrDosEntry* TrDosCatalogueWindow::SingleSelectedEntry() const {
    const std::vector<std::size_t> entries = SelectedEntries();
    return entries.size() == 1 ? &catalogue_.entries[entries.front()] : nullptr;
}

void TrDosCatalogueWindow::UpdateMenu() {
    const TrDosMenuState s =
        TrDosMenuEnabling(fromImage_, static_cast<std::size_t>(fileList_->topLevelItemCount()),
                          SingleSelectedEntry());
    const std::pair<std::string_view, bool> items[] = {
        {kMenuViewScreen, s.viewScreen},   {kMenuViewHex, s.viewHex},
        {kMenuCompact, s.compact},         {kMenuRenameDisk, s.renameDisk},
        {kMenuShowDeleted, s.showDeleted}, {kMenuSaveHobeta, s.saveHobeta},
        {kMenuSaveScl, s.saveScl},         {kMenuEditHeader, s.editHeader},
        {kMenuAddFiles, s.addFiles},       {kMenuDeleteFiles, s.deleteFiles},
        {kMenuViewBasic, s.viewBasic},     {kMenuSaveBin, s.saveBin},
        {kMenuSaveTap, s.saveTap},         {kMenuAddPlainFile, s.addPlainFile}};
    for (const auto& [caption, enabled] : items)
        Action(caption)->setEnabled(enabled);
}

void TrDosCatalogueWindow::SetShowDeleted(bool show) {
    showDeleted_ = show;
    QAction* a = Action(kMenuShowDeleted);
    if (a->isChecked() != show) a->setChecked(show);
    Fill();
}

bool TrDosCatalogueWindow::MayChangeImage() const {
    return !context_.mayChangeImage || context_.mayChangeImage();
}

void TrDosCatalogueWindow::Changed() {
    if (!ReadTrDosCatalogue(*context_.disk, catalogue_)) catalogue_ = TrDosCatalogue{};
    Fill();
    if (context_.imageChanged) context_.imageChanged();
}

void TrDosCatalogueWindow::ViewScreen() {
    const TrDosEntry* e = SingleSelectedEntry();
    if (e == nullptr || !fromImage_) return;
    Bytes screen;
    if (!ReadTrDosSectors(*context_.disk, e->firstTrack, e->firstSector, kZxScreenSectors, screen))
        return;
    context_.dialogs->ShowScreen(std::span(screen).first(kZxScreenBytes));
}

void TrDosCatalogueWindow::ViewHex() {
    const TrDosEntry* e = SingleSelectedEntry();
    if (e == nullptr || !fromImage_) return;
    Bytes bytes;
    if (!ReadTrDosFile(*context_.disk, *e, bytes)) return;
    context_.dialogs->ShowHex(bytes, false);
}

void TrDosCatalogueWindow::Compact() {
    if (!fromImage_ || !MayChangeImage()) return;
    const TrDosEditResult r = CompactDisk(*context_.disk, catalogue_);
    if (!r.ok) context_.dialogs->Ask({.caption = kCaptionErrorDots, .text = r.error});
    Changed();
}

void TrDosCatalogueWindow::RenameDisk() {
    if (!fromImage_ || !MayChangeImage()) return;
    const std::optional<QString> entered = context_.dialogs->DiskName(
        QString::fromStdString(ZxDiskNameText(catalogue_.diskName)), false);
    if (!entered) return;
    // The dialog showed the name up to its first zero byte, control bytes as '?'; what the
    // user left as it was keeps its bytes.
    const auto shownEnd = std::find(catalogue_.diskName.begin(), catalogue_.diskName.end(), 0);
    const Bytes bytes =
        ZxNameFromEditedText(std::span<const std::uint8_t>(catalogue_.diskName.begin(), shownEnd),
                             entered->toStdString());
    TrDosName field{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), field.size()), field.begin());
    if (field == catalogue_.diskName) return;
    const std::string name(bytes.begin(), bytes.end());
    if (!RenameNeeded(catalogue_.diskName, name)) return;
    if (!morvane::RenameDisk(*context_.disk, catalogue_, name)) return;
    Changed();
}

void TrDosCatalogueWindow::EditHeader() {
    const std::vector<std::size_t> entries = SelectedEntries();
    if (entries.size() != 1 || !fromImage_ || !MayChangeImage()) return;
    const TrDosEntry& e = catalogue_.entries[entries.front()];
    TrDosEntryEdit edit{e.name, e.type, e.start, e.length};
    if (!context_.dialogs->EditHeader(edit)) return;
    if (edit.name != e.name) {
        if (const std::optional<std::string> refusal = TrDosNameRefusal(edit.name)) {
            context_.dialogs->Ask(
                {.caption = kCaptionErrorDots,
                 .text = (UiText(kFileNotRenamedText) + QString::fromStdString(*refusal))
                             .toStdString()});
            return;
        }
    }
    const TrDosEditResult r = EditEntry(*context_.disk, catalogue_, entries.front(), edit);
    if (!r.ok) context_.dialogs->Ask({.caption = kCaptionErrorDots, .text = r.error});
    Changed();
}

void TrDosCatalogueWindow::DeleteFiles() {
    if (!fromImage_ || !MayChangeImage()) return;
    if (context_.dialogs->Ask({.caption = kCaptionAttentionDots,
                               .text = std::string(kDeleteQuestion),
                               .buttons = Buttons::YesNo}) != Answer::Yes)
        return;
    const std::vector<std::size_t> entries = SelectedEntries();
    if (entries.empty()) return;
    const TrDosEditResult r = DeleteEntries(*context_.disk, catalogue_, entries);
    if (!r.ok) context_.dialogs->Ask({.caption = kCaptionErrorDots, .text = r.error});
    Changed();
}

}  // namespace morvane
