// The application's side of the view's settings commands: the units and grid-size dialogs, owned
// by the main window.
#include "app/AppViewHost.h"

#include "app/DlgGridSize.h"
#include "app/DlgPreferences.h"
#include "app/KorvanelleFrame.h"

void AppViewHost::RunUnitsDialog() {
    DlgPreferences dialog(::GetMainFrame());
    dialog.DoModal();
}

int AppViewHost::RunGridSizeDialog() {
    DlgGridSize dialog(::GetMainFrame());
    return static_cast<int>(dialog.DoModal());
}
