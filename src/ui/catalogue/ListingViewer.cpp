#include "ui/catalogue/ListingViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/views/QtText.h"

namespace morvane {

ListingViewer::ListingViewer(const QString& caption, const QString& text,
                             std::function<void(const QString&)> save, QWidget* parent)
    : QDialog(parent), save_(std::move(save)) {
    setObjectName(QStringLiteral("BasicView"));
    setWindowTitle(caption);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("ListingText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setPlainText(text);

    auto* copy = new QPushButton(UiText(kListingCopyButton), this);
    auto* saveButton = new QPushButton(UiText(kListingSaveButton), this);
    auto* close = new QPushButton(UiText(kListingCloseButton), this);
    connect(copy, &QPushButton::clicked, this, &ListingViewer::CopyText);
    connect(saveButton, &QPushButton::clicked, this, &ListingViewer::SaveText);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(saveButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);
    resize(640, 480);
}

void ListingViewer::CopyText() const {
    QApplication::clipboard()->setText(text_->toPlainText());
}

void ListingViewer::SaveText() {
    if (save_) save_(text_->toPlainText());
}

}  // namespace morvane
