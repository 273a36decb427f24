#include "ui/views/SectorEditor.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/views/QtText.h"
#include "ui/views/SectorViewRules.h"

namespace morvane {

SectorEditor::SectorEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SectorEditor"));
    setWindowTitle(Ui::tr("Редактор сектора"));
    resize(560, 420);
    static const char* const kCaptions[] = {"Track -", "Side -", "Sector -", "Size -", "CRC -"};
    static const char* const kNames[] = {"lTrack", "lSide", "lSector", "lSize", "lCrc"};
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        values_[i] = new QLabel(this);
        values_[i]->setObjectName(QString::fromLatin1(kNames[i]));
        form->addRow(QString::fromLatin1(kCaptions[i]), values_[i]);
    }
    hex_ = new HexView(this);
    hex_->setObjectName(QStringLiteral("hv1"));
    hex_->setReadOnly(false);
    accept_ = new QPushButton(Ui::tr("Принять"), this);
    cancel_ = new QPushButton(Ui::tr("Отменить"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(hex_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void SectorEditor::LoadFrom(const SectorSlot& slot) {
    values_[0]->setText(QString::number(slot.Cylinder));
    values_[1]->setText(QString::number(slot.Head));
    values_[2]->setText(QString::number(slot.Sector));
    values_[3]->setText(QString::fromStdString(SizeLabelText(slot.SizeCode)));
    values_[4]->setText(QString::fromStdString(CrcLabelText(slot.HeaderCrc)));
    const std::size_t n = std::min<std::size_t>(slot.DataLength, slot.Data.size());
    hex_->LoadBytes(slot.Data.first(n));
}

std::size_t SectorEditor::ApplyTo(SectorSlot& slot) const {
    const std::size_t n = std::min<std::size_t>(slot.DataLength, slot.Data.size());
    return hex_->CopyOut(slot.Data.first(n));
}

bool SectorEditor::Edit(SectorSlot& slot) {
    LoadFrom(slot);
    if (exec() != QDialog::Accepted) return false;
    ApplyTo(slot);
    return true;
}

}  // namespace morvane
