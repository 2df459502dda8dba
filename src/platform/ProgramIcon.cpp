#include "platform/ProgramIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace ProgramIcon {

namespace {

// The toolbar's colours, so that the icon sits with the pictures of the windows.
const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kAccent(0x2f, 0x6f, 0xb5);
const QColor kVinyl(0x22, 0x22, 0x22);
const QColor kGroove(0x55, 0x55, 0x55);
const QColor kLabel(0xd9, 0x4f, 0x3d);

const int kSizes[] = {16, 20, 24, 32, 40, 48, 64, 96, 128, 256};

// A record sliding out of its sleeve, drawn on a grid of 64 units. Small sizes leave out the
// grooves and the sleeve's card, which would only blur there.
QImage draw(int size)
{
    QImage pixmap(size, size, QImage::Format_ARGB32_Premultiplied);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 64.0;
    p.scale(unit, unit);
    const qreal hairline = qMax(1.0 / unit, 1.0); // never thinner than a pixel
    const bool detailed = size >= 32;

    const QPointF centre(42, 32);
    p.setPen(QPen(kInk, hairline * 1.5));
    p.setBrush(kVinyl);
    p.drawEllipse(centre, 20.5, 20.5);
    if (detailed) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kGroove, hairline));
        for (qreal r = 17.5; r > 10; r -= 3.5)
            p.drawEllipse(centre, r, r);
        // A gleam across the grooves.
        p.setPen(QPen(QColor(255, 255, 255, 90), hairline * 2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(centre.x() - 15, centre.y() - 15, 30, 30), 20 * 16, 50 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kLabel);
    p.drawEllipse(centre, 7.5, 7.5);
    p.setBrush(kPaper);
    p.drawEllipse(centre, qMax(1.6, hairline), qMax(1.6, hairline));

    const QRectF sleeve(3, 11, 34, 42);
    p.setPen(QPen(kInk, hairline * 1.5));
    p.setBrush(kAccent);
    p.drawRoundedRect(sleeve, 2.5, 2.5);
    // The catalogue card on the sleeve.
    const QRectF card(8, 17, 24, detailed ? 17 : 14);
    p.setPen(detailed ? QPen(kInk, hairline) : Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(card);
    if (detailed) {
        p.setPen(QPen(kInk.lighter(170), hairline * 1.2));
        for (qreal y = card.top() + 5; y < card.bottom() - 2; y += 4.5)
            p.drawLine(QPointF(card.left() + 3, y), QPointF(card.right() - 3, y));
    }
    p.end();
    return pixmap;
}

} // namespace

QIcon icon()
{
    QIcon result;
    for (const int size : kSizes)
        result.addPixmap(QPixmap::fromImage(draw(size)));
    return result;
}

QImage picture(int size)
{
    return draw(size);
}

} // namespace ProgramIcon
