// The installer dialog (resource 120), modal and without an owner.
#pragma once

// True when OK ended the dialog.
bool ShowAssociationDialog();
