#include "browser/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varolin"));
    QApplication::setApplicationVersion(QStringLiteral("2.4.0"));

    frmMain window;
    if (!window.Form_Load())
        return 1;
    return QApplication::exec();
}
