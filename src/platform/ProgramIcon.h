#pragma once

#include <QIcon>
#include <QImage>

// The program's own icon, drawn in code at every size it is shown at, so that it stays sharp from
// a title bar to a launcher and needs no files.
namespace ProgramIcon {

QIcon icon();
// One size of it, as the launchers' PNG files hold it.
QImage picture(int size);

} // namespace ProgramIcon
