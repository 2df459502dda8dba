// A Selection's condition (first line) and ordering (second line) in the Jet dialect, translated
// and run on a catalogue of awkward values, every cell read as the grid shows it. Refusal is
// fine; a crash, a hang or undefined behaviour is not.
#include "FuzzSupport.h"
#include "JetRun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = Fuzz::text(data, size);
    const qsizetype newline = input.indexOf(QLatin1Char('\n'));
    Fuzz::runSelection(newline < 0 ? input : input.left(newline), newline < 0 ? QString() : input.mid(newline + 1));
    return 0;
}
