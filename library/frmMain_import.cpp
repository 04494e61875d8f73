// The start window's import of a drawing of the previous version.

#include "app/frmMain.h"

void frmMain::mnuInPort_Click() {}
