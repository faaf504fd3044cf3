// File names as the system holds them (bytes: any but NUL, mostly UTF-8) and as the desktop
// keeps and shows them (QString). Qt's own conversion (QFile::decodeName) replaces every byte
// that is not UTF-8 by U+FFFD, so such a name would lead to another file. Here each such byte
// becomes an unpaired low surrogate U+DC80..U+DCFF that turns back into the same byte, so that
// every name the system accepts survives the way through the desktop.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qv {

// The name for the desktop of the file name `bytes`; valid UTF-8 reads as QString::fromUtf8.
QString FileNameFromBytes(std::string_view bytes);

// The bytes that the system takes for the file name `name`: the inverse of FileNameFromBytes.
// Characters are written in UTF-8.
std::string FileNameBytes(const QString& name);

}  // namespace qv
