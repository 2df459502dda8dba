// Answers to "??": the first line is a condition, each further line the answer to its next "??",
// placed as the window places it; the result is run like any condition.
#include "FuzzSupport.h"
#include "JetRun.h"
#include "store/JetText.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList lines = Fuzz::text(data, size).split(QLatin1Char('\n'));
    QString condition = lines.takeFirst();
    // One answer per placeholder of the condition as written; answers that bring "??" of their own
    // are asked about by the window again, which a fuzzer's input cannot do for ever.
    for (qsizetype p = condition.indexOf(QLatin1String("??")); p >= 0 && !lines.isEmpty();
         p = condition.indexOf(QLatin1String("??"), p)) {
        const qsizetype before = condition.size();
        condition = JetText::placeAnswer(condition, p, lines.takeFirst());
        p += condition.size() - before + 2;
    }
    Fuzz::runSelection(condition, QString());
    return 0;
}
