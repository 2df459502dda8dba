#pragma once

#include <QIcon>

class QToolButton;

// The pictures of the toolbar and the dialogs' button strips, drawn in code so that they are sharp at any size and need
// no files.
namespace ToolbarIcons {

enum Icon { Exit, Copy, New, Amend, Delete, Find, Refresh, Settings, Formats, OK, Cancel, Previous, Next, Selections };

QIcon icon(Icon which);
// A picture button of a window's button strip, known to the user by its tip.
QToolButton* button(QWidget* parent, const char* name, const QString& tip, Icon which, const QRect& geometry);

} // namespace ToolbarIcons
