#pragma once

class AppContext;
class QWidget;

#include "MousePointer.h"

// Shows a window modally through the context's presenter (tests fill and close
// it there); without one, a dialog runs its own loop. Returns when it is hidden.
void showModalWindow(AppContext& ctx, QWidget* window);
