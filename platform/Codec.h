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
}  // namespace Codec
