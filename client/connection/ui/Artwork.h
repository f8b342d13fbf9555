#pragma once
#include <QPixmap>

// The program's pictures, drawn rather than loaded so that no image file has
// to travel with the program.
namespace Artwork {
// A report page with green-bar lines and an arrow carrying it down to the PC.
QPixmap logo(int size);
// Two plug halves: joined (a made connection) or apart (no connection).
QPixmap connectionSign(bool connected, int size = 32);
}  // namespace Artwork
