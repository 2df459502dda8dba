// CStrParse: the first line is the separator set (empty: the default ","), the rest the source.
// With distinct separators the pieces and the separators between them give the source back.
#include "shared/CStrParse.h"
#include "FuzzSupport.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = Fuzz::text(data, size);
    const qsizetype newline = input.indexOf(QLatin1Char('\n'));
    const QString separators = newline < 0 ? QString() : input.left(newline);
    const QString source = newline < 0 ? input : input.mid(newline + 1);

    CStrParse parser;
    if (!separators.isEmpty())
        parser.setSeparators(separators);
    parser.setSourceString(source);
    parser.parse();
    bool ok = false;
    const int count = parser.SubstringCount().toInt(&ok);
    Fuzz::check(ok && count >= 1, "no count", parser.SubstringCount());
    Fuzz::check(parser.Substring(-1).isNull() && parser.Substring(count).isNull(), "a piece out of range");

    const QString set = parser.Separators();
    if (QSet<QChar>(set.begin(), set.end()).size() != set.size())
        return 0; // a repeated separator gives empty pieces of its own
    QString rebuilt;
    for (int i = 0; i < count; ++i) {
        const QString piece = parser.Substring(i);
        for (const QChar c : piece)
            Fuzz::check(!set.contains(c), "a piece holds a separator", piece);
        rebuilt += piece;
        if (i + 1 < count)
            rebuilt += source.at(rebuilt.size());
    }
    Fuzz::check(rebuilt == source, "the pieces do not give the source back", source);
    return 0;
}
