#pragma once

class QRect;
class QWidget;

// Twips (1/1440 inch) to pixels and back, at the screen's logical resolution.
namespace Twips {

double twipsPerPixel(const QWidget* widget = nullptr);
int toPixels(double twips, const QWidget* widget = nullptr);
// A control's place given in twips, in pixels.
QRect rect(int left, int top, int width, int height, const QWidget* widget = nullptr);

} // namespace Twips
