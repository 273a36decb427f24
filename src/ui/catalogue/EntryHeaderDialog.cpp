#include "ui/catalogue/EntryHeaderDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "model/Cp1251.h"
#include "ui/catalogue/TrDosWindowRules.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

QSpinBox* HexBox(std::uint16_t value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setDisplayIntegerBase(16);
    box->setRange(0, 0xFFFF);
    box->setValue(value);
    return box;
}

}  // namespace

EntryHeaderDialog::EntryHeaderDialog(const TrDosEntryEdit& edit, QWidget* parent)
    : QDialog(parent), shownName_(edit.name) {
    setObjectName(QStringLiteral("EntryHeaderDialog"));
    setWindowTitle(UiText(kMenuEditHeader));
    // The name as the catalogue holds it, padding included, so it can be kept exactly.
    name_ = new QLineEdit(
        QString::fromStdString(Cp1251ToUtf8(std::span(edit.name.data(), edit.name.size()))), this);
    name_->setObjectName(QStringLiteral("eName"));
    name_->setMaxLength(static_cast<int>(kTrDosNameSize));
    type_ = new QLineEdit(
        QString::fromStdString(Cp1251ToUtf8(std::span(&edit.type, std::size_t{1}))), this);
    type_->setObjectName(QStringLiteral("eType"));
    type_->setMaxLength(1);
    start_ = HexBox(edit.start, this);
    start_->setObjectName(QStringLiteral("eStart"));
    length_ = HexBox(edit.length, this);
    length_->setObjectName(QStringLiteral("eLength"));

    auto* form = new QFormLayout;
    form->addRow(QText(kTrDosColumns[0].header), name_);
    form->addRow(QText(kTrDosColumns[1].header), type_);
    form->addRow(QText(kTrDosColumns[2].header), start_);
    form->addRow(QText(kTrDosColumns[3].header), length_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

TrDosEntryEdit EntryHeaderDialog::Result() const {
    TrDosEntryEdit r;
    // Characters left as they were keep their bytes, 0x98 too, which shows as '?'.
    const Bytes name = ZxNameFromEditedText(shownName_, name_->text().toStdString());
    r.name = TrDosNameFromText(std::string(name.begin(), name.end()));
    const Bytes type = Utf8ToCp1251(type_->text().toStdString());
    r.type = type.empty() ? std::uint8_t{' '} : type.front();
    r.start = static_cast<std::uint16_t>(start_->value());
    r.length = static_cast<std::uint16_t>(length_->value());
    return r;
}

}  // namespace morvane
