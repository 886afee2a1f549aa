// Pictures of the splash window, the message box with each icon, and the About, Units and Grid
// Size dialogs, for docs/screens/ (scripts/screens-small-dialogs.sh runs this program in Wine's
// virtual desktop, which draws the captions and frames). Not a test: it only takes pictures.
//   app_dialog_screens.exe OUTPUT-FOLDER
#include <windows.h>

#include <functional>
#include <string>

#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "WindowPicture.h"
#include "app/DlgAbout.h"
#include "app/DlgGridSize.h"
#include "app/DlgPreferences.h"
#include "app/DlgSplash.h"
#include "app/Settings.h"
#include "controls/AeroMessageBox.h"
#include "controls/ThemeResources.h"
#include "framework/Win.h"
#include "res/ResourceImages.h"

namespace {

std::string g_folder;

void Shoot(HWND window, const char* name) {
    screens::SaveWindowPicture(window, g_folder, name);
}

template <class Dialog>
class Driven : public Dialog {
public:
    std::function<void(Driven&)> drive;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KICKIDLE && drive) {
            std::function<void(Driven&)> once = std::move(drive);
            drive = nullptr;
            once(*this);
            if (this->ContinueModal()) this->EndDialog(IDCANCEL);
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }
};

void ShootMessageBox(AeroMessageBox& box, const char* name) {
    KvMessageBoxHandler previous = AfxSetMessageBoxHandler([&](KvMessageBoxRequest& request) {
        request.runLive = [&](HWND window) { Shoot(window, name); };
        return 0;
    });
    box.DoModal();
    AfxSetMessageBoxHandler(previous);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    g_folder = argv[1];
    // The pointer out of the way: a link label under it would show its hover frame.
    ::SetCursorPos(0, 0);
    kvtest::GdiplusReady();
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);

    {
        DlgSplash splash;
        BYTE done = 0;
        splash.m_doneFlag = &done;
        if (splash.Start()) {
            kvtest::PumpUntil([&] { return splash.m_alpha == 255; }, 5000);
            Shoot(splash.m_hWnd, "splash.png");
            splash.DestroyWindow();
        }
    }

    const char* kinds[] = {"message-box-error.png", "message-box-warning.png", "message-box-information.png",
                           "message-box-application.png"};
    const char* messages[] = {
        "Error saving file:\r\n\r\nC:\\Users\\Public\\Documents\\My Labels\\Cover.kvl",
        "Save changes to Cover.kvl?",
        "The design was saved as the startup design for CD jewel cases with one disc.",
        "The label reaches over the edge of the printable area.\r\nPrint it all the same?"};
    for (int kind = 1; kind <= 4; ++kind) {
        AeroMessageBox box(nullptr);
        box.m_iconKind = static_cast<MessageBoxKind>(kind);
        box.m_message = messages[kind - 1];
        if (kind == 2) {
            box.AddButton("Yes", 1, 1, "");
            box.AddButton("No", 2, 0, "");
            box.AddButton("Cancel", 3, 0, "");
        } else if (kind == 4) {
            box.m_checkBox = true;
            box.SetLink("c:\\no such folder\\help.url", "How to align the labels");
            box.AddButton("Print", 1, 1, "");
            box.AddButton("Cancel", 2, 0, "");
        } else {
            box.AddButton("OK", 1, 1, "");
        }
        ShootMessageBox(box, kinds[kind - 1]);
    }

    g_programFolder = "C:\\Program Files\\Korvanelle";
    {
        Driven<DlgAbout> about;
        about.drive = [](Driven<DlgAbout>& d) { Shoot(d.m_hWnd, "about.png"); };
        about.DoModal();
    }
    g_units = "Inches";
    {
        Driven<DlgPreferences> units;
        units.drive = [](Driven<DlgPreferences>& d) { Shoot(d.m_hWnd, "units.png"); };
        units.DoModal();
    }
    g_gridSize[0] = g_gridSize[1] = 125;
    {
        Driven<DlgGridSize> grid;
        grid.drive = [](Driven<DlgGridSize>& d) { Shoot(d.m_hWnd, "grid-size.png"); };
        grid.DoModal();
    }
    g_units = "Millimeters";
    {
        Driven<DlgGridSize> grid;
        grid.drive = [](Driven<DlgGridSize>& d) { Shoot(d.m_hWnd, "grid-size-mm.png"); };
        grid.DoModal();
    }
    ReleaseThemeResources();
    return 0;
}
