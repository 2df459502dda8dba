#include "shared/TextEncoding.h"

#include <algorithm>
#include <iterator>
#include <QStringDecoder>

namespace {

// Windows-1252 at 0x80 to 0x9F.
const char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

const QByteArray TextEncoding::kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

TextEncoding::Detected TextEncoding::detect(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return {Kind::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return {Kind::Utf16Le, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return {Kind::Utf16Be, 2};
    return {isUtf8(bytes) ? Kind::Utf8 : Kind::Windows1252, 0};
}

bool TextEncoding::isUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes); // the decoder works only when its result is taken
    return !utf8.hasError();
}

QString TextEncoding::fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kWindows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::optional<QByteArray> TextEncoding::toWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const auto* found = std::find(std::begin(kWindows1252High), std::end(kWindows1252High), u);
        if (found == std::end(kWindows1252High))
            return std::nullopt;
        bytes.append(static_cast<char>(0x80 + (found - std::begin(kWindows1252High))));
    }
    return bytes;
}

bool TextEncoding::isUndefinedInWindows1252(char16_t c)
{
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}
