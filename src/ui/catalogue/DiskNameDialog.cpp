#include "ui/catalogue/DiskNameDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "filesystems/TrDosWindowRules.h"

namespace morvane {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DiskNameDialog::DiskNameDialog(const QString& preset, bool okOnly, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DiskNameDialog"));
    setWindowTitle(Q(kDiskNameCaption));
    auto* message = new QLabel(Q(kDiskNameMessage), this);
    auto* label = new QLabel(Q(kDiskNameLabel), this);
    edit_ = new QLineEdit(preset.left(static_cast<int>(kDiskNameMaxLength)), this);
    edit_->setObjectName(QStringLiteral("eName"));
    edit_->setMaxLength(static_cast<int>(kDiskNameMaxLength));
    label->setBuddy(edit_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (okOnly) {
        auto* ok = new QPushButton(Q(kNewDiskOkButton), this);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        buttons->addWidget(ok);
    } else {
        auto* accept = new QPushButton(Q(kRenameAcceptButton), this);
        accept->setDefault(true);
        auto* cancel = new QPushButton(Q(kRenameCancelButton), this);
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
