#include "shared/TextFolding.h"

namespace {

// Letters that no decomposition takes apart, as a reader who ignores accents spells them.
const char* spelled(char16_t c)
{
    switch (c) {
    case u'Æ':
        return "AE";
    case u'æ':
        return "ae";
    case u'Œ':
        return "OE";
    case u'œ':
        return "oe";
    case u'ẞ':
        return "SS";
    case u'ß':
        return "ss";
    case u'Ø':
        return "O";
    case u'ø':
        return "o";
    case u'Ł':
        return "L";
    case u'ł':
        return "l";
    case u'Đ':
    case u'Ð':
        return "D";
    case u'đ':
    case u'ð':
        return "d";
    case u'Þ':
        return "TH";
    case u'þ':
        return "th";
    case u'ı':
        return "i";
    default:
        return nullptr;
    }
}

QString unaccented(QStringView text, bool foldCase)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += foldCase && u >= 'A' && u <= 'Z' ? QChar(u + ('a' - 'A')) : c;
        } else if (const char* letters = spelled(u)) {
            const QLatin1String spelledOut(letters);
            out += foldCase ? QString(spelledOut).toLower() : QString(spelledOut);
        } else {
            // The compatibility form takes ligatures (ﬁ) and accents apart; the accents go.
            for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
                if (part.category() != QChar::Mark_NonSpacing)
                    out += foldCase ? part.toCaseFolded() : part;
            }
        }
    }
    return out;
}

} // namespace

namespace TextFolding {

QString fold(QStringView text)
{
    return unaccented(text, true);
}

QString withoutAccents(QStringView text)
{
    return unaccented(text, false);
}

} // namespace TextFolding
