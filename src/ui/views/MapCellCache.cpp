#include "ui/views/MapCellCache.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace morvane {

namespace {

std::string KeyOf(const MapCellLook& look) {
    std::string key;
    key.reserve(2 + look.text.size());
    key.push_back(static_cast<char>(look.tile));
    key.push_back(look.whiteText ? 'w' : 'b');
    key += look.text;
    return key;
}

}  // namespace

QFont MapCellFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace, QFont::PreferMatch);
    font.setFixedPitch(true);
    font.setPointSize(7);
    // Without Courier New on the system, any fixed-pitch family of the same size.
    if (!QFontInfo(font).fixedPitch())
        font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    return font;
}

const QPixmap& MapCellCache::Cell(const MapCellLook& look, qreal dpr) {
    if (look.tile == MapTile::None) return none_;
    if (dpr != dpr_) {
        // Moved to a screen of another pixel density: paint again at its resolution.
        cells_.clear();
        dpr_ = dpr;
    }
    std::string key = KeyOf(look);
    const auto found = cells_.find(key);
    if (found != cells_.end()) return found->second;
    return cells_.emplace(std::move(key), Paint(look, dpr)).first->second;
}

QPixmap MapCellCache::Paint(const MapCellLook& look, qreal dpr) {
    if (!tiles_ || tiles_->Dpr() != dpr) tiles_.emplace(buttonFace_, dpr);
    const QPixmap& tile = tiles_->Tile(look.tile);
    const QSize size = tile.deviceIndependentSize().toSize();
    const int width = size.width();
    const int height = size.height();
    QPixmap cell(tile.size());
    cell.setDevicePixelRatio(dpr);
    QPainter painter(&cell);
    painter.drawPixmap(0, 0, tile);
    if (look.text.empty()) return cell;

    if (!font_) font_ = MapCellFont();
    const QString text = QString::fromStdString(look.text);
    const QFontMetrics metrics(*font_);
    const int x = CentredOffset(width, metrics.horizontalAdvance(text));
    const int y = CentredOffset(height, metrics.height());
    painter.setFont(*font_);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Fill(look.tile));
    painter.setPen(look.whiteText ? Qt::white : Qt::black);
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    return cell;
}

}  // namespace morvane
