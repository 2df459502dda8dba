#pragma once

#include <QByteArrayView>
#include <QString>

// What the head of a file says about it as a database of Jet or its successor ACE.
namespace JetFile {

enum class Kind { None, Jet3, Jet4, Ace };

// How many bytes of the head kindOf reads.
constexpr qsizetype kHeadSize = 0x15;

// By the signature at offset 4 and the version byte after it; None for any other file.
Kind kindOf(QByteArrayView head);

// The kind read from the file at path; None when it cannot be read.
Kind kindOfFile(const QString& path);

} // namespace JetFile
