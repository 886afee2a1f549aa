// Placement and shared helpers of the print and export dialogs.
#include "print/DialogPlacement.h"

#include "controls/AeroButton.h"
#include "controls/AeroMessageBox.h"

RECT CentringRectangle() {
    RECT r = {0, 0, 0, 0};
    CWnd* main = AfxGetMainWnd();
    if (main && main->m_hWnd && ::IsWindowVisible(main->m_hWnd) && !::IsIconic(main->m_hWnd)) {
        ::GetWindowRect(main->m_hWnd, &r);
        return r;
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void PlaceAtRememberedPosition(CWnd& dialog, POINT& remembered) {
    RECT window;
    dialog.GetWindowRect(&window);
    if (remembered.x < 0) {
        const RECT c = CentringRectangle();
        remembered.x = (c.left + c.right) / 2 - (window.right - window.left) / 2;
        remembered.y = (c.top + c.bottom) / 2 - (window.bottom - window.top) / 2;
    }
    dialog.SetWindowPos(nullptr, remembered.x, remembered.y, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT RememberedPosition(CWnd& dialog) {
    RECT window;
    dialog.GetWindowRect(&window);
    POINT p = {window.left < 0 ? 0 : window.left, window.top < 0 ? 0 : window.top};
    return p;
}

void AttachButton(AeroButton& button, UINT id, CWnd* dialog) {
    button.SubclassDlgItem(id, dialog);
    button.GenerateBackground(6, 8, 10, 0, 0);
}

void ShowDialogMessage(CWnd* owner, MessageBoxKind iconKind, const CString& text) {
    AeroMessageBox box(owner);
    box.m_iconKind = iconKind;
    box.m_message = text;
    box.AddButton("OK", 1, 1);
    box.DoModal();
}
