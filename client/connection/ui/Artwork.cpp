#include "Artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace Artwork {
namespace {
// A square picture of `size` pixels, drawn in a design square of `design` units.
template <class Draw>
QPixmap drawn(int size, qreal design, Draw draw) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / design, size / design);
    draw(p);
    return pm;
}
}  // namespace

QPixmap logo(int size) {
    return drawn(size, 64, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x8c));
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

        // The report page, its corner folded, with the bars of continuous paper.
        QPainterPath page;
        page.moveTo(14, 8);
        page.lineTo(40, 8);
        page.lineTo(50, 18);
        page.lineTo(50, 44);
        page.lineTo(14, 44);
        page.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(page);
        p.setBrush(QColor(0xc8, 0xe6, 0xc9));
        for (int y = 20; y < 42; y += 8) p.drawRect(QRectF(17, y, 30, 4));
        p.setBrush(QColor(0xb0, 0xbe, 0xc5));
        p.drawPolygon(QPolygonF({QPointF(40, 8), QPointF(40, 18), QPointF(50, 18)}));

        // The arrow down to the PC.
        p.setBrush(QColor(0xff, 0xb3, 0x00));
        p.drawPolygon(QPolygonF({QPointF(28, 40), QPointF(36, 40), QPointF(36, 48), QPointF(42, 48),
                                 QPointF(32, 58), QPointF(22, 48), QPointF(28, 48)}));
    });
}

QPixmap connectionSign(bool connected, int size) {
    return drawn(size, 32, [connected](QPainter& p) {
        const QColor body = connected ? QColor(0x2e, 0x7d, 0x32) : QColor(0x75, 0x75, 0x75);
        const qreal gap = connected ? 0 : 5;
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        // Plug on the left with its two pins, socket on the right.
        p.drawRoundedRect(QRectF(3 - gap / 2, 10, 10, 12), 2, 2);
        p.drawRect(QRectF(13 - gap / 2, 12, 4, 2));
        p.drawRect(QRectF(13 - gap / 2, 18, 4, 2));
        p.drawRoundedRect(QRectF(17 + gap / 2, 10, 10, 12), 2, 2);
        // Cables.
        p.setPen(QPen(body, 2));
        p.drawLine(QPointF(0, 16), QPointF(3 - gap / 2, 16));
        p.drawLine(QPointF(27 + gap / 2, 16), QPointF(32, 16));
        if (!connected) {
            p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2.5));
            p.drawLine(QPointF(12, 4), QPointF(20, 28));
        }
    });
}

}  // namespace Artwork
