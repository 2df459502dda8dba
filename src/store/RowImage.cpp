#include "store/RowImage.h"

#include <cstring>
#include <QHashFunctions>
#include <sqlite3.h>

namespace {

const char kRow = 'R';
const char kDigest = 'D';
const size_t kDigestBytes = 16;

} // namespace

QByteArray RowImage::start()
{
    return QByteArray(1, kRow);
}

void RowImage::appendCell(QByteArray& image, Tag tag, const void* data, qint32 size)
{
    image.append(tag);
    if (tag == Text || tag == Blob)
        image.append(reinterpret_cast<const char*>(&size), sizeof size);
    image.append(static_cast<const char*>(data), size);
}

void RowImage::append(QByteArray& image, sqlite3_value* value, bool utf8Catalogue)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: {
        const qint64 i = sqlite3_value_int64(value);
        appendCell(image, Integer, &i, sizeof i);
        break;
    }
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(value);
        appendCell(image, Real, &d, sizeof d);
        break;
    }
    case SQLITE_TEXT: {
        const void* text = utf8Catalogue ? sqlite3_value_blob(value) : sqlite3_value_text(value);
        appendCell(image, Text, text, sqlite3_value_bytes(value));
        break;
    }
    case SQLITE_BLOB: {
        const void* blob = sqlite3_value_blob(value);
        appendCell(image, Blob, blob, sqlite3_value_bytes(value));
        break;
    }
    default:
        appendCell(image, Null, nullptr, 0);
    }
}

QByteArray RowImage::ofColumns(sqlite3_stmt* statement, int count)
{
    QByteArray image = start();
    for (int c = 0; c < count; ++c) {
        switch (sqlite3_column_type(statement, c)) {
        case SQLITE_INTEGER: {
            const qint64 i = sqlite3_column_int64(statement, c);
            appendCell(image, Integer, &i, sizeof i);
            break;
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(statement, c);
            appendCell(image, Real, &d, sizeof d);
            break;
        }
        case SQLITE_TEXT: {
            const void* text = sqlite3_column_text(statement, c);
            appendCell(image, Text, text, sqlite3_column_bytes(statement, c));
            break;
        }
        case SQLITE_BLOB: {
            const void* blob = sqlite3_column_blob(statement, c);
            appendCell(image, Blob, blob, sqlite3_column_bytes(statement, c));
            break;
        }
        default:
            appendCell(image, Null, nullptr, 0);
        }
    }
    return image;
}

QByteArray RowImage::digestOf(const QByteArray& image)
{
    if (image.isEmpty() || isDigest(image))
        return image;
    // Two hashes under different seeds: a chance change that keeps both is not to be feared, and
    // a step of a hundred thousand rows is digested in milliseconds.
    const size_t hashes[] = {qHashBits(image.constData(), size_t(image.size()), 0x5eed),
                             qHashBits(image.constData(), size_t(image.size()), 0xd1ce57)};
    static_assert(sizeof hashes == kDigestBytes);
    QByteArray digest(1, kDigest);
    digest.append(reinterpret_cast<const char*>(hashes), sizeof hashes);
    return digest;
}

bool RowImage::isDigest(const QByteArray& image)
{
    return image.startsWith(kDigest);
}

bool RowImage::matches(const QByteArray& expected, const QByteArray& now)
{
    return isDigest(expected) ? digestOf(now) == expected : now == expected;
}

template <typename F>
void RowImage::forEachCell(const QByteArray& image, F f)
{
    if (!image.startsWith(kRow))
        return;
    const char* p = image.constData() + 1;
    const char* end = image.constData() + image.size();
    while (p < end) {
        Cell cell{static_cast<Tag>(*p++)};
        if (cell.tag == Integer || cell.tag == Real) {
            cell.size = 8;
        } else if (cell.tag == Text || cell.tag == Blob) {
            std::memcpy(&cell.size, p, sizeof cell.size);
            p += sizeof cell.size;
        }
        cell.data = p;
        p += cell.size;
        if (!f(cell))
            return;
    }
}

QVariant RowImage::value(const QByteArray& image, int column)
{
    QVariant v;
    int c = 0;
    forEachCell(image, [&](const Cell& cell) {
        if (c++ < column)
            return true;
        if (cell.tag == Integer) {
            qint64 i = 0;
            std::memcpy(&i, cell.data, sizeof i);
            v = i;
        } else if (cell.tag == Real) {
            double d = 0;
            std::memcpy(&d, cell.data, sizeof d);
            v = d;
        } else if (cell.tag == Text) {
            v = QString::fromUtf8(cell.data, cell.size);
        } else if (cell.tag == Blob) {
            v = QByteArray(cell.data, cell.size);
        }
        return false;
    });
    return v;
}

void RowImage::bind(sqlite3_stmt* statement, int first, const QByteArray& image)
{
    int index = first;
    forEachCell(image, [&](const Cell& cell) {
        if (cell.tag == Integer) {
            qint64 i = 0;
            std::memcpy(&i, cell.data, sizeof i);
            sqlite3_bind_int64(statement, index, i);
        } else if (cell.tag == Real) {
            double d = 0;
            std::memcpy(&d, cell.data, sizeof d);
            sqlite3_bind_double(statement, index, d);
        } else if (cell.tag == Text) {
            sqlite3_bind_text(statement, index, cell.data, cell.size, SQLITE_TRANSIENT);
        } else if (cell.tag == Blob) {
            sqlite3_bind_blob(statement, index, cell.data, cell.size, SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(statement, index);
        }
        ++index;
        return true;
    });
}
