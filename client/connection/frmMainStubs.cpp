#include "frmMain.h"

// Handlers not yet built; each moves to the file of its behaviour.
void frmMain::cmdExit_Click() {}
void frmMain::cmdOK_Click() {}
void frmMain::cmdListOutqs_Click() {}
void frmMain::itmOpen_Click() {}
void frmMain::itmSave_Click() {}
void frmMain::itmSaveAs_Click() {}
void frmMain::itmSaveSettings_Click() {}
void frmMain::itmListOutqs_Click() {}
void frmMain::mnuOptions_Click() {}
void frmMain::itmGeneralHelp_Click() {}
void frmMain::itmAbout_Click() {}
void frmMain::itmExit_Click() {}
