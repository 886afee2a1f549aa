// The canvas's message boxes, shown as the application's themed message box.
#include "canvas/CanvasMessage.h"

#include <windows.h>

#include "controls/AeroMessageBox.h"

int ShowCanvasMessage(CWnd* parent, MessageBoxKind icon, const CString& caption, const CString& text,
                      const CString& link, const std::vector<CanvasMessageButton>& buttons) {
    AeroMessageBox box(parent);
    box.m_iconKind = icon;
    if (!caption.IsEmpty()) box.m_caption = caption;
    box.m_message = text;
    if (!link.IsEmpty()) {
        const CString address = ShortcutAddress(link);
        box.SetLink(link, address.IsEmpty() ? link : address);
    }
    for (const CanvasMessageButton& b : buttons)
        box.AddButton(b.caption, static_cast<WORD>(b.result), b.isDefault ? 1 : 0, b.link);
    return static_cast<int>(box.DoModal());
}

CString ShortcutAddress(const CString& path) {
    char address[1024] = {};
    ::GetPrivateProfileStringA("InternetShortcut", "URL", "", address, sizeof address, path);
    return address;
}

int ShowCanvasMessageOk(CWnd* parent, MessageBoxKind icon, const CString& caption, const CString& text) {
    CanvasMessageButton ok;
    ok.caption = "OK";
    ok.result = 1;
    ok.isDefault = true;
    return ShowCanvasMessage(parent, icon, caption, text, CString(), {ok});
}
