// A Selection entry divides into pieces that give the entry back, and the first is the name up to
// the first comma.
#include "shared/SelectionList.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString entry = Fuzz::text(data, size);
    const QStringList pieces = SelectionList::pieces(entry);
    Fuzz::check(!pieces.isEmpty(), "no pieces", entry);
    Fuzz::check(pieces.join(QLatin1Char(',')) == entry, "the pieces do not give the entry back", entry);
    Fuzz::check(!pieces.first().contains(QLatin1Char(',')), "the name holds a comma", entry);
    return 0;
}
