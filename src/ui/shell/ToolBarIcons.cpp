#include "ui/shell/ToolBarIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace morvane {

namespace {

const QColor kInk(0x30, 0x40, 0x60);
const QColor kDisabledInk(0xa0, 0xa0, 0xa0);

// A diskette seen from the front, on a 16 by 16 grid: body, shutter and label.
void DrawDiskette(QPainter& p, const QColor& ink, const QColor& accent) {
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.setPen(QPen(ink, 1.0));
    p.setBrush(accent);
    p.drawPath(body);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7.0, 4.0));
    p.setBrush(ink);
    p.drawRect(QRectF(8.5, 2.5, 1.5, 2.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9.0, 6.0));
}

void DrawSave(QPainter& p, const QColor& ink, bool enabled) {
    DrawDiskette(p, ink, enabled ? QColor(0x4a, 0x78, 0xc0) : kDisabledInk.lighter(130));
}

// The same diskette in another colour, with lines on its label for the second format.
void DrawSaveUdi(QPainter& p, const QColor& ink, bool enabled) {
    DrawDiskette(p, ink, enabled ? QColor(0x3c, 0x9a, 0x5a) : kDisabledInk.lighter(130));
    p.setPen(QPen(ink, 1.0));
    p.drawLine(QPointF(5.0, 10.5), QPointF(11.0, 10.5));
    p.drawLine(QPointF(5.0, 12.5), QPointF(11.0, 12.5));
}

// A waste bin: lid, handle and a body narrowing to the bottom.
void DrawClear(QPainter& p, const QColor& ink, bool enabled) {
    p.setPen(QPen(ink, 1.0));
    p.setBrush(enabled ? QColor(0xc8, 0xcc, 0xd4) : kDisabledInk.lighter(130));
    QPainterPath body;
    body.moveTo(3.5, 4.5);
    body.lineTo(12.5, 4.5);
    body.lineTo(11.5, 14.5);
    body.lineTo(4.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRect(QRectF(2.5, 3.0, 11.0, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(6.5, 1.5, 3.0, 1.5));
    for (double x : {6.0, 8.0, 10.0})
        p.drawLine(QPointF(x, 6.5), QPointF(x, 12.5));
}

// A circular arrow: most of a ring with its head at the top right.
void DrawScanAndRead(QPainter& p, const QColor& /*ink*/, bool enabled) {
    const QColor arrow = enabled ? QColor(0x2a, 0x8a, 0x3a) : kDisabledInk;
    p.setPen(QPen(arrow, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11.0, 11.0), 60 * 16, 290 * 16);
    QPainterPath head;
    head.moveTo(9.0, 0.5);
    head.lineTo(14.5, 3.0);
    head.lineTo(9.5, 6.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawPath(head);
}

// Two chevrons pointing right; turned a quarter for a vertical tool bar.
void DrawMore(QPainter& p, const QColor& ink, bool down) {
    if (down) {
        p.translate(16.0, 0.0);
        p.rotate(90.0);
    }
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (double x : {4.0, 8.5}) {
        const QPointF points[] = {{x, 4.0}, {x + 4.0, 8.0}, {x, 12.0}};
        p.drawPolyline(points, 3);
    }
}

class DrawnIconEngine : public QIconEngine {
  public:
    explicit DrawnIconEngine(ToolPicture picture) : picture_(picture) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State /*state*/) override {
        const bool enabled = mode != QIcon::Disabled;
        const QColor ink = enabled ? kInk : kDisabledInk;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const int side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2.0,
                           rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 16.0, side / 16.0);
        switch (picture_) {
            case ToolPicture::Save:
                DrawSave(*painter, ink, enabled);
                break;
            case ToolPicture::SaveUdi:
                DrawSaveUdi(*painter, ink, enabled);
                break;
            case ToolPicture::Clear:
                DrawClear(*painter, ink, enabled);
                break;
            case ToolPicture::ScanAndRead:
                DrawScanAndRead(*painter, ink, enabled);
                break;
            case ToolPicture::MoreRight:
                DrawMore(*painter, ink, false);
                break;
            case ToolPicture::MoreDown:
                DrawMore(*painter, ink, true);
                break;
        }
        painter->restore();
    }

    // The base class paints on an uncleared pixmap; this starts from a transparent one.
    // `size` is in device pixels; QIcon sets the pixel ratio on the result.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(picture_); }

  private:
    ToolPicture picture_;
};

}  // namespace

QIcon MakeToolIcon(ToolPicture picture) {
    // QIcon takes ownership of the engine.
    return QIcon(new DrawnIconEngine(picture));
}

}  // namespace morvane
