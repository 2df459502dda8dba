#include "shared/TextFolding.h"

namespace {

// Letters that no decomposition takes apart, as a reader who ignores accents spells them.
const char* spelled(char16_t c)
{
    switch (c) {
    case u'Æ':
    case u'æ':
        return "ae";
    case u'Œ':
    case u'œ':
        return "oe";
    case u'ß':
    case u'ẞ':
        return "ss";
    case u'Ø':
    case u'ø':
        return "o";
    case u'Ł':
    case u'ł':
        return "l";
    case u'Đ':
    case u'đ':
    case u'Ð':
    case u'ð':
        return "d";
    case u'Þ':
    case u'þ':
        return "th";
    case u'ı':
        return "i";
    default:
        return nullptr;
    }
}

} // namespace

namespace TextFolding {

QString fold(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            folded += u >= 'A' && u <= 'Z' ? QChar(u + ('a' - 'A')) : c;
        } else if (const char* letters = spelled(u)) {
            folded += QLatin1String(letters);
        } else {
            // The compatibility form takes ligatures (ﬁ) and accents apart; the accents go.
            for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
                if (part.category() != QChar::Mark_NonSpacing)
                    folded += part.toCaseFolded();
            }
        }
    }
    return folded;
}

} // namespace TextFolding
