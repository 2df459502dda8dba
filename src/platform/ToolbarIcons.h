#pragma once

#include <QIcon>

// The pictures of the toolbar and the dialogs' button strips, drawn in code so that they are sharp at any size and need no files.
namespace ToolbarIcons {

enum Icon { Exit, Copy, New, Amend, Delete, Find, Refresh, Settings, Formats, OK, Cancel, Previous, Next };

QIcon icon(Icon which);

} // namespace ToolbarIcons
