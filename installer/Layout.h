#pragma once

class QWidget;

namespace hostprep {
// The windows were designed in twips; 15 make a pixel at 96 dpi.
constexpr int px(int twips) { return (twips + 7) / 15; }
// Places a control at its design position (left, top, width, height in twips).
void place(QWidget* w, int left, int top, int width, int height);
// The font the twips layout was made for: 8 points of the narrow system font of the time, 10 pixels here.
void useDesignFont(QWidget* window);
// left = (screen width - width) \ 2, top likewise.
void centreOnScreen(QWidget* window);
}  // namespace hostprep
