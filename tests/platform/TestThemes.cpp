#include "platform/StatusPanel.h"
#include "platform/ToolbarIcons.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPalette>

namespace {

// The share of the picture's opaque pixels that are light.
double lightShare(const QImage& image)
{
    int opaque = 0, light = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200) {
                ++opaque;
                light += c.lightness() > 160;
            }
        }
    return opaque ? double(light) / opaque : 0;
}

} // namespace

// Dark themes here: light text on dark windows and buttons, as QPalette makes them from one dark colour.

TEST(Themes, StatusLineIsReadableOnADarkTheme)
{
    StatusPanel panel;
    panel.setPalette(QPalette(QColor(0x2a2a2a)));
    panel.resize(300, 24);
    panel.setCaption(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    panel.setTextColor(Qt::black);
    const QImage image = panel.grab().toImage();
    // The caption's pixels are the theme's text, not black on the dark window.
    EXPECT_GT(lightShare(image.copy(4, 4, 150, 16)), 0.05);
}

TEST(Themes, ToolbarPicturesAreDrawnAtTheScaleShownAndStandOutOnADarkTheme)
{
    const QIcon next = ToolbarIcons::icon(ToolbarIcons::Next);
    // A scale of 2 gets a picture of twice the pixels, not a small one blown up.
    EXPECT_EQ(next.pixmap(QSize(26, 26), 2.0).size(), QSize(52, 52));
    EXPECT_EQ(next.pixmap(QSize(64, 64)).size(), QSize(64, 64));

    const QPalette before = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x2a2a2a)));
    const double onDark = lightShare(next.pixmap(QSize(32, 32)).toImage());
    QApplication::setPalette(before);
    const double onLight = lightShare(next.pixmap(QSize(32, 32)).toImage());
    EXPECT_GT(onDark, 0.9);
    EXPECT_LT(onLight, 0.1);
}
