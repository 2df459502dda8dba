#include "browser/frmMain.h"
#include "platform/ProgramIcon.h"
#include "Version.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varolin"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(VAROLIN_VERSION_MAJOR).arg(VAROLIN_VERSION_MINOR).arg(VAROLIN_VERSION_PATCH));

    frmMain window;
    if (!window.Form_Load())
        return 1;
    return QApplication::exec();
}
