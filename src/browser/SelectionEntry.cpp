#include "browser/SelectionEntry.h"

#include "shared/CStrParse.h"
#include "store/JetText.h"

QStringList SelectionEntry::pieces(const QString& sEntry)
{
    CStrParse parser;
    parser.setSourceString(sEntry);
    parser.parse();
    QStringList asPieces{parser.Substring(0)};
    if (asPieces.first().size() == sEntry.size())
        return asPieces;
    const QStringView sRest = QStringView(sEntry).mid(asPieces.first().size() + 1);
    qsizetype iStart = 0;
    for (const qsizetype iComma : JetText::topLevelCommas(sRest)) {
        asPieces.append(sRest.mid(iStart, iComma - iStart).toString());
        iStart = iComma + 1;
    }
    asPieces.append(sRest.mid(iStart).toString());
    return asPieces;
}
