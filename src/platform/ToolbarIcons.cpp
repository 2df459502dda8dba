#include "platform/ToolbarIcons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

namespace ToolbarIcons {

namespace {

const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kAccent(0x2f, 0x6f, 0xb5);
const QColor kWarning(0xc0, 0x39, 0x2b);

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setPen(QPen(kInk.lighter(180), 1.2));
    for (qreal y = r.top() + 6; y < r.bottom() - 3; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

// Lines that stand on the button itself rather than on a sheet or a fill; a dark theme's button
// would swallow them in their usual dark colours.
struct OnButton
{
    QColor outline;
    QColor tick;
    QColor arrow;
};

OnButton onButton()
{
    const QPalette palette = QGuiApplication::palette();
    if (palette.color(QPalette::Button).lightness() >= 128)
        return {kInk, QColor(0x1a, 0x2f, 0x7a), Qt::black};
    const QColor text = palette.color(QPalette::ButtonText);
    return {text, QColor(0x8a, 0xb4, 0xf8), text};
}

void draw(QPainter& p, Icon which)
{
    const OnButton on = onButton();
    switch (which) {
    case Exit:
        p.setPen(QPen(kInk, 2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(6, 4, 14, 24));
        p.setPen(QPen(kWarning, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(14, 16), QPointF(28, 16));
        p.drawPolyline(QPolygonF({QPointF(23, 11), QPointF(28, 16), QPointF(23, 21)}));
        break;
    case Copy:
        sheet(p, QRectF(4, 3, 16, 20));
        sheet(p, QRectF(12, 9, 16, 20));
        break;
    case New:
        sheet(p, QRectF(6, 3, 18, 26));
        p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(22, 18), QPointF(22, 28));
        p.drawLine(QPointF(17, 23), QPointF(27, 23));
        break;
    case Amend: {
        sheet(p, QRectF(4, 3, 18, 26));
        QPainterPath pencil;
        pencil.moveTo(14, 26);
        pencil.lineTo(16, 20);
        pencil.lineTo(27, 9);
        pencil.lineTo(31, 13);
        pencil.lineTo(20, 24);
        pencil.closeSubpath();
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xe8, 0xb3, 0x3a));
        p.drawPath(pencil);
        break;
    }
    case Delete:
        sheet(p, QRectF(5, 3, 18, 26));
        p.setPen(QPen(kWarning, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 17), QPointF(28, 28));
        p.drawLine(QPointF(28, 17), QPointF(17, 28));
        break;
    case Find:
        p.setPen(QPen(on.outline, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(28, 28));
        p.setPen(QPen(kInk, 2.2));
        p.setBrush(QColor(0xd8, 0xe8, 0xf8));
        p.drawEllipse(QPointF(13, 13), 8.5, 8.5);
        break;
    case Refresh: {
        p.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 5, 22, 22), 60 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawPolygon(QPolygonF({QPointF(17, 2), QPointF(26, 7), QPointF(17, 12)}));
        break;
    }
    case Settings: {
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(0xa9, 0xb4, 0xc2));
        QPainterPath gear;
        for (int i = 0; i < 8; ++i) {
            QTransform t;
            t.translate(16, 16);
            t.rotate(i * 45);
            gear.addPolygon(t.map(QPolygonF(QRectF(-2.5, -14, 5, 6))));
        }
        gear.addEllipse(QPointF(16, 16), 10, 10);
        p.drawPath(gear.simplified());
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 16), 4, 4);
        break;
    }
    case Selections: {
        // A sheet with a funnel over it: the questions the collection is asked.
        sheet(p, QRectF(4, 4, 18, 24));
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(kAccent);
        p.drawPolygon(QPolygonF(
            {QPointF(13, 12), QPointF(29, 12), QPointF(23, 20), QPointF(23, 28), QPointF(19, 26), QPointF(19, 20)}));
        break;
    }
    case Formats:
        p.setPen(QPen(on.outline, 1.5));
        p.setBrush(QColor(0x22, 0x22, 0x22));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 9.5, 9.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd9, 0x4f, 0x3d));
        p.drawEllipse(QPointF(16, 16), 5, 5);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 16), 1.3, 1.3);
        break;
    case OK: {
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(on.outline);
        p.drawText(QRectF(0, 0, 32, 13), Qt::AlignCenter, QStringLiteral("OK"));
        p.setPen(QPen(on.tick, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(7, 21), QPointF(13, 27), QPointF(26, 14)}));
        break;
    }
    case Cancel:
        p.setPen(QPen(kWarning, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 7), QPointF(25, 25));
        p.drawLine(QPointF(25, 7), QPointF(7, 25));
        break;
    case Previous:
        p.setPen(Qt::NoPen);
        p.setBrush(on.arrow);
        p.drawPolygon(QPolygonF({QPointF(22, 6), QPointF(22, 26), QPointF(9, 16)}));
        break;
    case Next:
        p.setPen(Qt::NoPen);
        p.setBrush(on.arrow);
        p.drawPolygon(QPolygonF({QPointF(10, 6), QPointF(10, 26), QPointF(23, 16)}));
        break;
    }
}

// Draws the picture afresh at every size asked for, so that a scaled screen gets it as sharp as
// any other rather than a small bitmap blown up.
class DrawnIconEngine : public QIconEngine
{
public:
    explicit DrawnIconEngine(Icon which) : m_which(which) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const int side = qMin(size.width(), size.height());
        painter.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
        painter.scale(side / 32.0, side / 32.0);
        draw(painter, m_which);
        painter.end();
        if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            return QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        }
        return pixmap;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap scaled = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        scaled.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, scaled);
    }
    QIconEngine* clone() const override { return new DrawnIconEngine(m_which); }

private:
    Icon m_which;
};

} // namespace

QIcon icon(Icon which)
{
    return QIcon(new DrawnIconEngine(which));
}

QToolButton* button(QWidget* parent, const char* name, const QString& tip, Icon which, const QRect& geometry)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setIcon(icon(which));
    button->setGeometry(geometry);
    button->setIconSize(geometry.size() - QSize(6, 6));
    return button;
}

} // namespace ToolbarIcons
