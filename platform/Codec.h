#pragma once
#include <QString>
#include <string>
#include <string_view>

// The single-byte code page of the host link and of the files we write:
// Windows-1252. Wire data and file contents stay bytes; only window texts are
// QString. Characters that the code page cannot hold become '?'.
namespace Codec {
QString toUnicode(std::string_view bytes);
std::string fromUnicode(const QString& text);
// The code page's control characters: C0 and DEL (its 0x80 to 0x9F are
// printable). No part of a file name may hold one.
inline bool isControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }
}  // namespace Codec
