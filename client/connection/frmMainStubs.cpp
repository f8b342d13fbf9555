#include "frmMain.h"

// Handlers not yet built; each moves to the file of its behaviour.
void frmMain::cmdExit_Click() {}
void frmMain::itmConnect_Click() {}
void frmMain::itmAutoConnect_Click() {}
void frmMain::itmChangePassword_Click() {}
void frmMain::itmChangeAddress_Click() {}
void frmMain::itmWaitTime_Click() {}
void frmMain::itmOpen_Click() {}
void frmMain::itmSave_Click() {}
void frmMain::itmSaveAs_Click() {}
void frmMain::itmSaveSettings_Click() {}
void frmMain::mnuOptions_Click() {}
void frmMain::itmGeneralHelp_Click() {}
void frmMain::itmAbout_Click() {}
void frmMain::itmExit_Click() {}
