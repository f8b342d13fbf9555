#pragma once

class AppContext;
class QWidget;

// The screen's mouse pointer, set absolutely as the original did (not stacked).
enum class MousePointer { Default, Hourglass, ArrowHourglass };
void setMousePointer(MousePointer pointer);

// Shows a window modally through the context's presenter (tests fill and close
// it there); without one, a dialog runs its own loop. Returns when it is hidden.
void showModalWindow(AppContext& ctx, QWidget* window);
