#include "shared/SelectionList.h"

#include "shared/CStrParse.h"
#include "store/Catalogue.h"
#include "store/JetText.h"
#include "store/NumberText.h"

#include <QDate>

namespace {

const int kLastOrderPiece = 9;

} // namespace

QStringList SelectionList::pieces(const QString& entry)
{
    CStrParse parser;
    parser.setSourceString(entry);
    parser.parse();
    QStringList asPieces{parser.Substring(0)};
    if (asPieces.first().size() == entry.size())
        return asPieces;
    const QStringView rest = QStringView(entry).mid(asPieces.first().size() + 1);
    qsizetype start = 0;
    for (const qsizetype comma : JetText::topLevelCommas(rest)) {
        asPieces.append(rest.mid(start, comma - start).toString());
        start = comma + 1;
    }
    asPieces.append(rest.mid(start).toString());
    return asPieces;
}

SelectionList::Selection SelectionList::fromEntry(const QString& entry)
{
    const QStringList asPieces = pieces(entry);
    Selection selection{asPieces.first(), asPieces.value(1), QString()};
    for (int j = 2; j <= kLastOrderPiece; ++j) {
        if (!asPieces.value(j).isEmpty())
            selection.order += asPieces.value(j) + QStringLiteral(", ");
    }
    if (selection.order.endsWith(QLatin1String(", ")))
        selection.order.chop(2);
    return selection;
}

QList<SelectionList::Selection> SelectionList::fromSection(const QHash<QString, QString>& section)
{
    QList<Selection> selections;
    for (int i = 1;; ++i) {
        const QString entry = section.value(QString::number(i));
        if (entry.isEmpty())
            return selections;
        selections.append(fromEntry(entry));
    }
}

int SelectionList::defaultIndex(const QHash<QString, QString>& section, int count)
{
    // A "Default" outside the list chooses nothing.
    const QString sDefault = section.value(QStringLiteral("default"), QStringLiteral("0"));
    const int i = NumberText::roundHalfEven(NumberText::leadingNumber(sDefault) - 1);
    return i >= 0 && i < count ? i : -1;
}

bool SelectionList::asksForValues(const QString& condition)
{
    return condition.contains(QLatin1String("??"));
}

QString SelectionList::displayStatement(const Selection& selection, const QString& where)
{
    return Catalogue::displayStatement(withCurrentYear(where), withCurrentYear(selection.order));
}

QString SelectionList::withCurrentYear(const QString& condition)
{
    const QString year = QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0'));
    return QString(condition).replace(QLatin1String("~~Year~~"), year);
}
