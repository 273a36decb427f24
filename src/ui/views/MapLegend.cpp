#include "ui/views/MapLegend.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/views/MapCellCache.h"
#include "ui/views/QtText.h"

namespace morvane {

std::vector<MapLegendRow> MapLegendRows() {
    const std::string track = TrackLabelText(0);
    const std::string sector = SectorLabelText(1);
    return {
        {{MapTile::LabelRaw, track, true},
         QT_TRANSLATE_NOOP("morvane::Ui", "Дорожка с образом RAW (считана целиком)")},
        {{MapTile::LabelNoRaw, track, false},
         QT_TRANSLATE_NOOP("morvane::Ui", "Дорожка без образа RAW")},
        {{MapTile::SectorGood, sector, false},
         QT_TRANSLATE_NOOP("morvane::Ui", "Сектор считан без ошибок")},
        {{MapTile::SectorBad, sector, false},
         QT_TRANSLATE_NOOP("morvane::Ui", "Сектор считан с ошибкой данных")},
        {{MapTile::SectorHeaderOnly, sector, false},
         QT_TRANSLATE_NOOP("morvane::Ui", "Заголовок сектора без данных")},
        {{MapTile::SectorVoted, sector, false},
         QT_TRANSLATE_NOOP("morvane::Ui", "Сектор восстановлен голосованием копий, CRC сошёлся")},
        {{MapTile::SectorBestGuess, sector, false},
         QT_TRANSLATE_NOOP("morvane::Ui", "Лучшая догадка по копиям, CRC не подтверждён")},
    };
}

MapLegend::MapLegend(MapCellCache& cells, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MapLegend"));
    setWindowTitle(Ui::tr("Обозначения карты диска"));
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const MapLegendRow& r : MapLegendRows()) {
        auto* swatch = new QLabel(this);
        swatch->setObjectName(QStringLiteral("legendCell%1").arg(row));
        swatch->setPixmap(cells.Cell(r.look, devicePixelRatioF()));
        grid->addWidget(swatch, row, 0);
        grid->addWidget(new QLabel(Ui::tr(r.meaning), this), row, 1);
        ++row;
    }
    auto* note = new QLabel(Ui::tr("Пустая ячейка: дорожки или сектора нет в образе."), this);
    grid->addWidget(note, row++, 0, 1, 2);
    auto* close = new QPushButton(Ui::tr("Закрыть"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    grid->addWidget(close, row, 1, Qt::AlignRight);
}

}  // namespace morvane
