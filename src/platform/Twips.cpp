#include "platform/Twips.h"

#include <QRect>

#include <cmath>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace Twips {

double twipsPerPixel(const QWidget* widget)
{
    const QScreen* screen = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int toPixels(double twips, const QWidget* widget)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel(widget)));
}

QRect rect(int left, int top, int width, int height, const QWidget* widget)
{
    return QRect(toPixels(left, widget), toPixels(top, widget), toPixels(width, widget), toPixels(height, widget));
}

} // namespace Twips
