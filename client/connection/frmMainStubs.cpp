#include "frmMain.h"

// Handlers not yet built; each moves to the file of its behaviour.
void frmMain::itmConnect_Click() {}
void frmMain::itmAutoConnect_Click() {}
void frmMain::itmChangePassword_Click() {}
void frmMain::itmChangeAddress_Click() {}
void frmMain::itmWaitTime_Click() {}
