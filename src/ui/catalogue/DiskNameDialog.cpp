#include "ui/catalogue/DiskNameDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/catalogue/TrDosWindowRules.h"
#include "ui/views/QtText.h"

namespace morvane {

DiskNameDialog::DiskNameDialog(const QString& preset, bool okOnly, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DiskNameDialog"));
    setWindowTitle(UiText(kDiskNameCaption));
    auto* message = new QLabel(UiText(kDiskNameMessage), this);
    auto* label = new QLabel(UiText(kDiskNameLabel), this);
    edit_ = new QLineEdit(preset.left(static_cast<int>(kDiskNameMaxLength)), this);
    edit_->setObjectName(QStringLiteral("eName"));
    edit_->setMaxLength(static_cast<int>(kDiskNameMaxLength));
    label->setBuddy(edit_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (okOnly) {
        auto* ok = new QPushButton(QText(kNewDiskOkButton), this);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        buttons->addWidget(ok);
    } else {
        auto* accept = new QPushButton(UiText(kRenameAcceptButton), this);
        accept->setDefault(true);
        auto* cancel = new QPushButton(UiText(kRenameCancelButton), this);
        connect(accept, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(accept);
        buttons->addWidget(cancel);
    }
    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(edit_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addLayout(field);
    layout->addLayout(buttons);
}

QString DiskNameDialog::Text() const {
    return edit_->text();
}

}  // namespace morvane
