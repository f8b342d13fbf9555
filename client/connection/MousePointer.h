#pragma once

// Screen.MousePointer: one pointer for the whole program, not a stack.
enum class MousePointer { Normal, Hourglass, ArrowHourglass };
void setMousePointer(MousePointer p);
