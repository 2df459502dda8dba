// Starts the main window on a catalogue of N recordings (default 32,767; 0 for an empty one), shows
// them all, and prints the process's peak memory.
#include "BenchCatalogue.h"

#include "browser/frmMain.h"
#include "shared/Session.h"

#include <cstdio>
#include <QApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int recordings = argc > 1 ? QByteArray(argv[1]).toInt() : 32767;
    const QString folder = BenchCatalogue::folder(recordings);
    // Making the catalogue is no part of showing it: the peak is counted from here on.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();
    const double beforeWindow = BenchCatalogue::peakMemoryMiB();
    Session session;
    frmMain window(session);
    window.setProgramDirectory(folder);
    if (!window.Form_Load())
        return 1;
    QApplication::processEvents();
    std::printf("peak memory with %d recordings shown: %.1f MiB (%.1f MiB before the window)\n", recordings,
                BenchCatalogue::peakMemoryMiB(), beforeWindow);
    return 0;
}
