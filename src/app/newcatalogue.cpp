// Leaves an empty catalogue at the path given, unless a file is there already: the build runs it
// so that a new program folder starts with a catalogue of its own.
#include "store/Catalogue.h"
#include "store/EngineError.h"

#include <cstdio>
#include <QCoreApplication>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varolin_newcatalogue PATH\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path))
        return 0;
    try {
        Catalogue::create(path);
    } catch (const EngineError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
