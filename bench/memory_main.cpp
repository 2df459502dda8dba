// Starts the main window on a catalogue of 32,767 recordings, shows them all, and prints the
// process's peak memory.
#include "BenchCatalogue.h"

#include "browser/frmMain.h"

#include <cstdio>
#include <QApplication>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int recordings = argc > 1 ? QByteArray(argv[1]).toInt() : 32767;
    const QString folder = BenchCatalogue::folder(recordings);
    const double beforeWindow = BenchCatalogue::peakMemoryMiB();
    frmMain window;
    window.setProgramDirectory(folder);
    if (!window.Form_Load())
        return 1;
    QApplication::processEvents();
    std::printf("peak memory with %d recordings shown: %.1f MiB (%.1f MiB before the window)\n", recordings,
                BenchCatalogue::peakMemoryMiB(), beforeWindow);
    return 0;
}
