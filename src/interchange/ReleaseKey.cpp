#include "interchange/ReleaseKey.h"

#include "shared/TextFolding.h"

#include <QRegularExpression>

namespace ReleaseKey {

QString withoutNumber(const QString& name)
{
    static const QRegularExpression number(
        QStringLiteral(R"(\s\(\d+\)(?=$|\s*[,&/+*]|\s+(?:and|feat\.?|featuring|vs\.?|with|x)\s))"),
        QRegularExpression::CaseInsensitiveOption);
    if (!name.contains(QLatin1Char('(')))
        return name;
    return QString(name).remove(number);
}

namespace {

// Most of a collection is ASCII, which folds by itself far faster than through the tables; the
// rest folds from its first other character on.
void appendFolded(QString& key, QStringView text)
{
    text = text.trimmed();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            key += TextFolding::fold(text.mid(i));
            return;
        }
        key += QChar(c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c);
    }
}

} // namespace

bool isNoNumber(const QString& catalogueNo)
{
    return QStringView(catalogueNo).trimmed().compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
}

QString of(const QString& artist, const QString& title, const QString& label, const QString& catalogueNo)
{
    const QChar separator(0x1F);
    QString key;
    key.reserve(artist.size() + title.size() + label.size() + catalogueNo.size() + 3);
    appendFolded(key, withoutNumber(artist));
    key += separator;
    appendFolded(key, title);
    key += separator;
    appendFolded(key, withoutNumber(label));
    key += separator;
    if (!isNoNumber(catalogueNo))
        appendFolded(key, catalogueNo);
    return key.size() > 3 ? key : QString();
}

} // namespace ReleaseKey
