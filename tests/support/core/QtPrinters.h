#pragma once
// How a failing comparison shows Qt's text types: as their text, not as the
// bytes of the objects. Every test source includes this first (the test
// support's compile options), so that all of them print the same way; it
// names the types only, so that it comes before any header without changing it.
#include <iosfwd>

class QString;
class QByteArray;
void PrintTo(const QString& s, std::ostream* os);
void PrintTo(const QByteArray& b, std::ostream* os);
