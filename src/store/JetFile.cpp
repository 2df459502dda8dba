#include "store/JetFile.h"

#include <QFile>
#include <QFileInfo>

namespace JetFile {

Kind kindOf(QByteArrayView head)
{
    if (head.size() < kHeadSize)
        return Kind::None;
    const QByteArrayView signature = head.sliced(4, 15);
    if (signature == "Standard ACE DB")
        return Kind::Ace;
    if (signature != "Standard Jet DB")
        return Kind::None;
    return head.at(0x14) == 0 ? Kind::Jet3 : Kind::Jet4;
}

Kind kindOfFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) // a pipe would block the read
        return Kind::None;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Kind::None;
    return kindOf(file.read(kHeadSize));
}

} // namespace JetFile
