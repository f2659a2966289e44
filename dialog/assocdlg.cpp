#include "dialog/assocdlg.h"

// The dialog is not built yet: InstallMode shows nothing for now.
bool ShowAssociationDialog() {
    return false;
}
