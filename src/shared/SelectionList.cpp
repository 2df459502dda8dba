#include "shared/SelectionList.h"

#include "shared/CStrParse.h"
#include "store/Catalogue.h"
#include "store/JetText.h"
#include "store/NumberText.h"

#include <QDate>

namespace {

const int kLastOrderPiece = 9;
// A value of the settings file is read to this many characters.
const int kLongestEntry = 99;

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

QStringList SelectionList::orderItems(const QString& order)
{
    QStringList items;
    qsizetype start = 0;
    for (const qsizetype comma : JetText::topLevelCommas(order)) {
        items << order.mid(start, comma - start).trimmed();
        start = comma + 1;
    }
    items << order.mid(start).trimmed();
    items.removeAll(QString());
    return items;
}

QString SelectionList::entryOf(const Selection& selection)
{
    QString entry = selection.name;
    const QStringList items = orderItems(selection.order);
    if (!selection.where.isEmpty() || !items.isEmpty())
        entry += QLatin1Char(',') + selection.where;
    for (const QString& item : items)
        entry += QLatin1Char(',') + item;
    return entry;
}

QString SelectionList::storeRefusal(const Selection& selection)
{
    const QString name = selection.name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("A Selection needs a name.");
    const QString entry = entryOf(selection);
    if (entry.contains(QLatin1Char('\n')) || entry.contains(QLatin1Char('\r')))
        return QStringLiteral("The Selection \"%1\" holds a line break, and varolin.ini keeps each Selection on one "
                              "line.")
            .arg(name);
    if (selection.name.contains(QLatin1Char(',')))
        return QStringLiteral("The name \"%1\" holds a comma, where a Selection's name ends: choose a name "
                              "without one.")
            .arg(name);
    QStringList expected{selection.name, selection.where};
    expected << orderItems(selection.order);
    QStringList read = pieces(entry);
    while (read.size() < expected.size())
        read << QString();
    if (read.size() > 2 + kLastOrderPiece - 1)
        return QStringLiteral("The Selection \"%1\" has more than eight ordering items.").arg(name);
    if (read != expected)
        return QStringLiteral("The condition of \"%1\" holds a comma outside quotes, brackets and parentheses, so "
                              "it would be read back cut in two.")
            .arg(name);
    if (entry.size() > kLongestEntry)
        return QStringLiteral("The Selection \"%1\" is %2 characters long as stored, but only the first %3 are read "
                              "back: shorten its condition or its order.")
            .arg(name)
            .arg(entry.size())
            .arg(kLongestEntry);
    return QString();
}
