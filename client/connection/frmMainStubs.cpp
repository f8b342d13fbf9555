#include "frmMain.h"

// Handlers not yet built; each moves to the file of its behaviour.
