#pragma once

class QWidget;

// Window sizes are given in twips, as the forms were designed; 15 twips make a
// pixel at the usual 96 dpi.
namespace WindowGeometry {
constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
// Gives the window its design size and centres it on its screen:
// left = (screen width - width) \ 2, top = (screen height - height) \ 2.
void sizeAndCentre(QWidget* window, int widthTwips, int heightTwips);
// Centres the window at its current size.
void centre(QWidget* window);
}  // namespace WindowGeometry
