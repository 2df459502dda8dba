#include "store/JetCollation.h"

#include <QString>
#include <sqlite3.h>

namespace {

int collateNoCase(void*, int n1, const void* s1, int n2, const void* s2)
{
    return JetCollation::compareNoCase(QByteArrayView(static_cast<const char*>(s1), n1),
                                       QByteArrayView(static_cast<const char*>(s2), n2));
}

} // namespace

int JetCollation::registerOn(sqlite3* db)
{
    return sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, collateNoCase, nullptr);
}

char16_t JetCollation::fold(QChar c)
{
    return QChar(c).toCaseFolded().unicode();
}

// Ranges of LIKE and the first level of the text order go by it, so that É falls in [a-f] and sorts
// among the E's.
char16_t JetCollation::baseLetter(QChar c)
{
    if (c.unicode() < 0x80)
        return fold(c);
    if (c.decompositionTag() == QChar::Canonical)
        return fold(c.decomposition().at(0));
    return fold(c);
}

int JetCollation::compareNoCase(QByteArrayView a, QByteArrayView b)
{
    // ASCII is compared in place; from the first byte beyond it the rest is folded as Unicode.
    const qsizetype n = qMin(a.size(), b.size());
    qsizetype i = 0;
    for (; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80)
            break;
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i == n)
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);

    // First by letter, accents aside; where that ties, by the accented letters themselves.
    const QString restA = QString::fromUtf8(a.sliced(i));
    const QString restB = QString::fromUtf8(b.sliced(i));
    const qsizetype m = qMin(restA.size(), restB.size());
    int accentOrder = 0;
    for (qsizetype k = 0; k < m; ++k) {
        const char16_t x = baseLetter(restA.at(k));
        const char16_t y = baseLetter(restB.at(k));
        if (x != y)
            return x < y ? -1 : 1;
        if (accentOrder == 0) {
            const char16_t fx = fold(restA.at(k));
            const char16_t fy = fold(restB.at(k));
            accentOrder = fx == fy ? 0 : (fx < fy ? -1 : 1);
        }
    }
    if (restA.size() != restB.size())
        return restA.size() < restB.size() ? -1 : 1;
    return accentOrder;
}
