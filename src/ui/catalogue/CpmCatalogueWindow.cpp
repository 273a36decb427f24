#include "ui/catalogue/CpmCatalogueWindow.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/catalogue/TrDosWindowRules.h"
#include "ui/views/QtText.h"
#include "ui/views/ShownText.h"

namespace morvane {

namespace {

char DecimalSeparator() {
    const QString s = QLocale().decimalPoint();
    return s.size() == 1 && s[0].unicode() < 0x80 ? static_cast<char>(s[0].unicode()) : '.';
}

}  // namespace

CpmCatalogueWindow::CpmCatalogueWindow(CpmWindowContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("cCat"));
    setWindowTitle(UiText(kCpmWindowCaption));
    setModal(false);

    fileList_ = new QTreeWidget(this);
    fileList_->setObjectName(QStringLiteral("LV1"));
    fileList_->setRootIsDecorated(false);
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QStringList headers;
    for (const CpmListColumn& c : kCpmColumns)
        headers << QText(c.header);
    fileList_->setColumnCount(static_cast<int>(kCpmColumns.size()));
    fileList_->setHeaderLabels(headers);
    for (int i = 0; i < static_cast<int>(kCpmColumns.size()); ++i)
        if (kCpmColumns[static_cast<std::size_t>(i)].width > 0)
            fileList_->setColumnWidth(i, kCpmColumns[static_cast<std::size_t>(i)].width);
    fileList_->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    fileList_->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    fileList_->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* group = new QGroupBox(Ui::tr("Описание диска"), this);
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (std::string_view caption : kCpmDescriptionLabels) {
        grid->addWidget(new QLabel(ShownText(caption), group), row, 0);
        auto* value = new QLabel(group);
        value->setObjectName(QStringLiteral("value%1").arg(row + 1));
        grid->addWidget(value, row++, 1);
        values_.push_back(value);
    }
    for (std::string_view caption : kCpmEmptyDescriptionLabels)
        grid->addWidget(new QLabel(UiText(caption), group), row++, 0);

    auto* close = new QPushButton(Ui::tr("Закрыть"), this);
    close->setObjectName(QStringLiteral("bClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // "Обновить" reads the directory again: the image may have changed meanwhile.
    auto* refresh = new QPushButton(Ui::tr("Обновить"), this);
    refresh->setObjectName(QStringLiteral("bRefresh"));
    connect(refresh, &QPushButton::clicked, this, &CpmCatalogueWindow::Fill);

    auto* side = new QVBoxLayout;
    side->addWidget(group);
    side->addStretch();
    side->addWidget(refresh);
    side->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fileList_, 1);
    layout->addLayout(side);

    BuildMenu();
    connect(fileList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateMenu();
        menu_->popup(fileList_->viewport()->mapToGlobal(pos));
    });
    resize(600, 420);
}

void CpmCatalogueWindow::BuildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](std::string_view caption) {
        QAction* a = menu_->addAction(UiText(caption));
        actions_.push_back(a);
        return a;
    };
    add(kCpmMenuViewPicture);  // a CP/M file is no screen picture; kept as the menu has it
    connect(add(kCpmMenuViewHex), &QAction::triggered, this, &CpmCatalogueWindow::ViewHex);
    connect(add(kCpmMenuViewText), &QAction::triggered, this, &CpmCatalogueWindow::ViewText);
    menu_->addSeparator();
    QAction* erased = add(kCpmMenuShowErased);
    erased->setCheckable(true);
    connect(erased, &QAction::toggled, this, &CpmCatalogueWindow::SetShowErased);
    QAction* hidden = add(kCpmMenuShowHidden);
    hidden->setCheckable(true);
    connect(hidden, &QAction::toggled, this, &CpmCatalogueWindow::SetShowHidden);
    menu_->addSeparator();
    connect(add(kCpmMenuRename), &QAction::triggered, this, &CpmCatalogueWindow::Rename);
    connect(add(kCpmMenuAddFiles), &QAction::triggered, this, &CpmCatalogueWindow::AddFiles);
    connect(add(kCpmMenuDeleteFiles), &QAction::triggered, this, &CpmCatalogueWindow::DeleteFiles);
    connect(add(kCpmMenuSaveAs), &QAction::triggered, this, &CpmCatalogueWindow::SaveAs);
}

QAction* CpmCatalogueWindow::Action(std::string_view caption) const {
    const QString text = UiText(caption);
    for (QAction* a : actions_)
        if (a->text() == text) return a;
    return nullptr;
}

void CpmCatalogueWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Fill();
}

void CpmCatalogueWindow::Fill() {
    catalogue_ = ReadCpmCatalogue(*context_.disk, showErased_, showHidden_);
    fileList_->clear();
    const char separator = DecimalSeparator();
    for (const CpmListRow& row : catalogue_.rows) {
        const CpmDirEntry& e = catalogue_.entries[row.entry];
        const std::array<std::string, 5> texts = CpmRowTexts(e, row.records, separator);
        auto* item = new QTreeWidgetItem(fileList_);
        for (int c = 0; c < static_cast<int>(texts.size()); ++c)
            item->setText(c, QString::fromStdString(texts[static_cast<std::size_t>(c)]));
        item->setTextAlignment(1, Qt::AlignCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (e.IsErased()) item->setCheckState(0, Qt::Checked);
    }
    const std::array<std::string, 3> values = CpmDescriptionValues(catalogue_);
    for (std::size_t i = 0; i < values.size(); ++i)
        values_[i]->setText(ShownText(values[i]));
}

QStringList CpmCatalogueWindow::DescriptionValues() const {
    QStringList out;
    for (QLabel* l : values_)
        out << l->text();
    return out;
}

void CpmCatalogueWindow::SelectRows(const std::vector<int>& rows) {
    fileList_->clearSelection();
    for (int r : rows)
        if (QTreeWidgetItem* item = fileList_->topLevelItem(r)) item->setSelected(true);
}

int CpmCatalogueWindow::FirstSelectedRow() const {
    for (int r = 0; r < fileList_->topLevelItemCount(); ++r)
        if (fileList_->topLevelItem(r)->isSelected()) return r;
    return -1;
}

void CpmCatalogueWindow::UpdateMenu() {
    std::size_t selected = 0;
    for (int r = 0; r < fileList_->topLevelItemCount(); ++r)
        if (fileList_->topLevelItem(r)->isSelected()) ++selected;
    const CpmMenuState s = CpmMenuEnabling(selected);
    const std::pair<std::string_view, bool> items[] = {{kCpmMenuViewPicture, s.viewPicture},
                                                       {kCpmMenuViewHex, s.viewHex},
                                                       {kCpmMenuViewText, s.viewText},
                                                       {kCpmMenuShowErased, s.showErased},
                                                       {kCpmMenuShowHidden, s.showHidden},
                                                       {kCpmMenuRename, s.rename},
                                                       {kCpmMenuAddFiles, s.addFiles},
                                                       {kCpmMenuDeleteFiles, s.deleteFiles},
                                                       {kCpmMenuSaveAs, s.saveAs}};
    for (const auto& [caption, enabled] : items)
        Action(caption)->setEnabled(enabled);
}

void CpmCatalogueWindow::SetShowErased(bool show) {
    showErased_ = show;
    QAction* a = Action(kCpmMenuShowErased);
    if (a->isChecked() != show) a->setChecked(show);
    Fill();
}

void CpmCatalogueWindow::SetShowHidden(bool show) {
    showHidden_ = show;
    QAction* a = Action(kCpmMenuShowHidden);
    if (a->isChecked() != show) a->setChecked(show);
    Fill();
}

std::optional<CpmFile> CpmCatalogueWindow::SelectedFile() const {
    const int row = FirstSelectedRow();
    if (row < 0) return std::nullopt;
    const CpmDirEntry& shown =
        catalogue_.entries[catalogue_.rows[static_cast<std::size_t>(row)].entry];
    // The entry the row came from, if the image still holds it there; this also finds an
    // erased file or one of several of the same name in other user areas.
    const std::vector<CpmDirEntry> now = ParseCpmDirectory(ReadCpmDirectoryBytes(*context_.disk));
    const std::size_t index = catalogue_.rows[static_cast<std::size_t>(row)].entry;
    if (index < now.size() && now[index].user == shown.user && now[index].name == shown.name &&
        now[index].IsFirstExtent())
        return CpmFileOfEntry(now, index);
    return std::nullopt;
}

void CpmCatalogueWindow::ViewHex() {
    const std::optional<CpmFile> file = SelectedFile();
    if (!file) return;
    context_.dialogs->ShowHex(ReadCpmFile(*context_.disk, *file), true);
}

void CpmCatalogueWindow::ViewText() {
    const std::optional<CpmFile> file = SelectedFile();
    if (!file) return;
    context_.dialogs->ShowText(ReadCpmFile(*context_.disk, *file));
}

void CpmCatalogueWindow::SaveAs() {
    const int row = FirstSelectedRow();
    if (row < 0) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    SaveFileRequest request;
    request.filter = QText(kCpmSaveFilter);
    request.defaultSuffix = QText(kCpmSaveDefaultExtension);
    request.directory = context_.sclDir.get();
    request.fileName = QString::fromStdString(
        CpmRowFileName(catalogue_.entries[catalogue_.rows[static_cast<std::size_t>(row)].entry]));
    const QString path = dialogs.ChooseSaveFile(request);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && dialogs.Ask({.caption = kCaptionAttention,
                                                .text = std::string(kCpmOverwriteQuestion),
                                                .buttons = Buttons::YesNo}) != Answer::Yes)
        return;
    const std::optional<CpmFile> file = SelectedFile();
    if (!file) {
        dialogs.Ask({.caption = kCaptionError, .text = std::string(kCpmCatalogueErrorText)});
        return;
    }
    if (const FileWriteResult written = WriteWholeFile(path, ReadCpmFile(*context_.disk, *file));
        !written) {
        dialogs.Ask({.caption = kCaptionError,
                     .text = (Ui::tr("Ошибка записи файла ") + path).toStdString() + "\n" +
                             written.reason});
        return;
    }
    const QString folder = FolderOfFile(path);
    if (folder != context_.sclDir.get()) context_.sclDir.set(folder);
}

}  // namespace morvane
