#pragma once

#include <QIcon>

// The toolbar's pictures, drawn in code so that they are sharp at any size and need no files.
namespace ToolbarIcons {

enum Icon { Exit, Copy, New, Amend, Delete, Find, Refresh, Settings, Formats };

QIcon icon(Icon which);

} // namespace ToolbarIcons
