// Writes the program's icon as the PNG files of the hicolor theme, OUTDIR/NxN/apps/ID.png, from
// the same drawing the windows show: the build runs it for the install.
#include "platform/ProgramIcon.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QImage>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: varolin_icons OUTDIR ID\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString id = QString::fromLocal8Bit(argv[2]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, id);
        if (!QDir().mkpath(folder) || !ProgramIcon::picture(size).save(file, "PNG")) {
            std::fprintf(stderr, "varolin_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
