#include "ui/views/SectorHeaderEditor.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QVBoxLayout>

#include "model/Checksums.h"
#include "ui/views/QtText.h"
#include "ui/views/SectorViewRules.h"

namespace morvane {

namespace {

QLineEdit* ByteField(const QString& name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(3);
    field->setValidator(new QIntValidator(0, 255, field));
    return field;
}

QString Qt8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

SectorHeaderEditor::SectorHeaderEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SectorHeaderEditor"));
    setWindowTitle(Ui::tr("Заголовок"));
    cylinderField_ = ByteField(QStringLiteral("ne1"), this);
    sectorField_ = ByteField(QStringLiteral("ne2"), this);
    headList_ = new QComboBox(this);
    headList_->setObjectName(QStringLiteral("cb1"));
    sizeList_ = new QComboBox(this);
    sizeList_->setObjectName(QStringLiteral("cb2"));
    noErrors_ = new QCheckBox(Ui::tr("Без ошибок"), this);
    noErrors_->setObjectName(QStringLiteral("cbGood"));
    crcLabel_ = new QLabel(QStringLiteral("#0000"), this);
    crcLabel_->setObjectName(QStringLiteral("lCrc"));
    accept_ = new QPushButton(Ui::tr("Принять"), this);
    accept_->setObjectName(QStringLiteral("btAccept"));
    cancel_ = new QPushButton(Ui::tr("Отменить"), this);
    cancel_->setObjectName(QStringLiteral("btCancel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Track -"), cylinderField_);
    form->addRow(QStringLiteral("Side -"), headList_);
    form->addRow(QStringLiteral("Sector -"), sectorField_);
    form->addRow(QStringLiteral("Size -"), sizeList_);
    form->addRow(QStringLiteral("CRC -"), crcLabel_);
    form->addRow(noErrors_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cylinderField_, &QLineEdit::textChanged, this, &SectorHeaderEditor::OnFieldChanged);
    connect(sectorField_, &QLineEdit::textChanged, this, &SectorHeaderEditor::OnFieldChanged);
    connect(headList_, &QComboBox::currentIndexChanged, this, &SectorHeaderEditor::OnFieldChanged);
    connect(sizeList_, &QComboBox::currentIndexChanged, this, &SectorHeaderEditor::OnFieldChanged);
    connect(noErrors_, &QCheckBox::toggled, this, &SectorHeaderEditor::OnFieldChanged);
    connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

// The lists hold the values a header normally has; a value outside them (H above 1,
// N above 3) gets an extra entry so that it is shown and kept unless the user picks
// another one.
void SectorHeaderEditor::FillList(QComboBox* list, const QStringList& items, int value,
                      const QString& extraText) {
    list->clear();
    for (int i = 0; i < items.size(); ++i)
        list->addItem(items[i], i);
    if (value >= items.size()) list->addItem(extraText, value);
    list->setCurrentIndex(list->findData(value));
}

void SectorHeaderEditor::LoadFrom(const SectorSlot& slot) {
    const QSignalBlocker b1(cylinderField_), b2(sectorField_), b3(headList_), b4(sizeList_),
        b5(noErrors_);
    cylinderField_->setText(QString::number(slot.Cylinder));
    sectorField_->setText(QString::number(slot.Sector));
    FillList(headList_, {QStringLiteral("0"), QStringLiteral("1")}, slot.Head,
             QString::number(slot.Head));
    FillList(sizeList_,
             {QStringLiteral("128b"), QStringLiteral("256b"), QStringLiteral("512b"),
              QStringLiteral("1024b")},
             slot.SizeCode, Qt8(SizeLabelText(slot.SizeCode)));
    noErrors_->setChecked(slot.DataGood != 0);
    c_ = slot.Cylinder;
    h_ = slot.Head;
    r_ = slot.Sector;
    n_ = slot.SizeCode;
    crc_ = slot.HeaderCrc;
    crcLabel_->setText(Qt8(CrcLabelText(crc_)));
    accept_->setEnabled(false);
}

void SectorHeaderEditor::OnFieldChanged() {
    if (!cylinderField_->hasAcceptableInput() || !sectorField_->hasAcceptableInput()) return;
    accept_->setEnabled(true);
    c_ = static_cast<std::uint8_t>(cylinderField_->text().toInt());
    h_ = static_cast<std::uint8_t>(headList_->currentData().toInt());
    r_ = static_cast<std::uint8_t>(sectorField_->text().toInt());
    n_ = static_cast<std::uint8_t>(sizeList_->currentData().toInt());
    crc_ = IdFieldCrc(c_, h_, r_, n_);
    crcLabel_->setText(Qt8(CrcLabelText(crc_)));
}

void SectorHeaderEditor::ApplyTo(SectorSlot& slot) const {
    slot.Cylinder = c_;
    slot.Sector = r_;
    slot.Head = h_;
    slot.SizeCode = n_;
    slot.DataGood = noErrors_->isChecked() ? kDataGood : 0;
    slot.HeaderCrc = crc_;
}

bool SectorHeaderEditor::Edit(SectorSlot& slot) {
    LoadFrom(slot);
    if (exec() != QDialog::Accepted) return false;
    ApplyTo(slot);
    return true;
}

}  // namespace morvane
