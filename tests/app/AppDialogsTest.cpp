// The About, Units and Grid Size dialogs: the grid's text rules, then each dialog run modally and
// driven by messages from inside its own loop.
#include <doctest.h>

#include <functional>
#include <string>

#include "GdiplusSession.h"
#include "app/DlgAbout.h"
#include "app/DlgGridSize.h"
#include "app/DlgPreferences.h"
#include "app/Settings.h"
#include "controls/ThemeResources.h"
#include "framework/Win.h"
#include "res/AppDialogsIds.h"
#include "res/ResourceImages.h"

namespace {

struct Resources {
    Resources() {
        kvtest::GdiplusReady();
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    }
    ~Resources() { ReleaseThemeResources(); }
};

// A dialog whose modal loop hands it to `drive` once, when the dialog is shown and idle; a dialog
// the driver left open ends with -2. With `keysPosted` the driver posted keys that the loop itself
// has to deliver: the dialog then gets 5 seconds to end by them before it ends with -2.
template <class Dialog>
class Driven : public Dialog {
public:
    static constexpr UINT_PTR kGiveUpTimer = 0x7A11;
    std::function<void(Driven&)> drive;
    bool keysPosted = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KICKIDLE && drive) {
            std::function<void(Driven&)> once = std::move(drive);
            drive = nullptr;
            once(*this);
            if (keysPosted)
                ::SetTimer(this->m_hWnd, kGiveUpTimer, 5000, nullptr);
            else if (this->ContinueModal())
                this->EndDialog(-2);
            return 0;
        }
        if (message == WM_TIMER && wParam == kGiveUpTimer) {
            ::KillTimer(this->m_hWnd, kGiveUpTimer);
            if (this->ContinueModal()) this->EndDialog(-2);
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }
};

// A key pressed in the focused control, delivered by the dialog's own loop.
void PostKey(UINT key) {
    HWND focus = ::GetFocus();
    ::PostMessageA(focus, WM_KEYDOWN, key, 1);
    ::PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

CString ItemText(CWnd& dialog, int id) {
    CString text;
    dialog.GetDlgItemText(id, text);
    return text;
}

void Command(CWnd& dialog, int id, int code = BN_CLICKED) {
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, code),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog.m_hWnd, id)));
}

}  // namespace

TEST_CASE("the grid size's text rules") {
    CHECK(FormatGridEntry(125, false) == "0.125 ''");
    CHECK(FormatGridEntry(125, true) == "3.2 mm");
    CHECK(ClampGridEntry("0.01", false) == "0.030 ''");
    CHECK(ClampGridEntry("5", false) == "1.000 ''");
    CHECK(ClampGridEntry("0.1", true) == "0.8 mm");  // 0.03 inch
    CHECK(ClampGridEntry("40 mm", true) == "25.4 mm");
    CHECK(ClampGridEntry("no number", false) == "0.030 ''");
    CHECK(GridEntryToThousandths("0.700", false) == 700);
    CHECK(GridEntryToThousandths("5", true) == 196);
    CHECK(GridEntryToThousandths("3.2 mm", true) == 125);
    CHECK(GridEntryToThousandths("2", false) == 1000);
    CHECK(GridEntryToThousandths("-1", false) == 30);
    CHECK(GridEntryToThousandths("", false) == 30);
    CHECK(GridEntryToThousandths("1e400", false) == 30);  // not a finite number
    // Every step shown in inches reads back as itself.
    int mismatches = 0;
    for (int n = 30; n <= 1000; ++n)
        mismatches += GridEntryToThousandths(FormatGridEntry(n, false), false) != n;
    CHECK(mismatches == 0);
    CHECK(MakeVersionText(507) == "5.00 (Build 7)");
}

TEST_CASE("the Grid Size dialog") {
    Resources resources;
    KvMessageBoxCapture boxes;
    g_units = "Inches";
    g_gridSize[0] = g_gridSize[1] = 125;

    SUBCASE("shows the grid in inches; OK without a change ends with -1") {
        Driven<DlgGridSize> dialog;
        CString width, height, caption;
        dialog.drive = [&](Driven<DlgGridSize>& d) {
            width = ItemText(d, IDC_GRID_WIDTH);
            height = ItemText(d, IDC_GRID_HEIGHT);
            d.GetWindowText(caption);
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == DlgGridSize::kUnchanged);
        CHECK(width == "0.125 ''");
        CHECK(height == "0.125 ''");
        CHECK(caption.Find("Grid Size") >= 0);
    }
    SUBCASE("a typed size is kept within limits on leaving the field and stored on OK") {
        Driven<DlgGridSize> dialog;
        CString clampedLow, clampedHigh;
        dialog.drive = [&](Driven<DlgGridSize>& d) {
            d.SetDlgItemText(IDC_GRID_WIDTH, "0.01");
            Command(d, IDC_GRID_WIDTH, EN_KILLFOCUS);
            clampedLow = ItemText(d, IDC_GRID_WIDTH);
            d.SetDlgItemText(IDC_GRID_HEIGHT, "5");
            Command(d, IDC_GRID_HEIGHT, EN_KILLFOCUS);
            clampedHigh = ItemText(d, IDC_GRID_HEIGHT);
            d.SetDlgItemText(IDC_GRID_WIDTH, "0.700");
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK(clampedLow == "0.030 ''");
        CHECK(clampedHigh == "1.000 ''");
        CHECK(g_gridSize[0] == 700);
        CHECK(g_gridSize[1] == 1000);
    }
    SUBCASE("in millimetres: 3.2 mm shown, 5 mm stored as 196") {
        g_units = "Millimeters";
        Driven<DlgGridSize> dialog;
        CString shown;
        dialog.drive = [&](Driven<DlgGridSize>& d) {
            shown = ItemText(d, IDC_GRID_WIDTH);
            d.SetDlgItemText(IDC_GRID_WIDTH, "5");
            d.SetDlgItemText(IDC_GRID_HEIGHT, "5 mm");
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK(shown == "3.2 mm");
        CHECK(g_gridSize[0] == 196);
        CHECK(g_gridSize[1] == 196);
    }
    SUBCASE("in millimetres: Enter without an edit keeps the grid; an edited size reads back as itself") {
        g_units = "Millimeters";
        g_gridSize[0] = g_gridSize[1] = 100;
        CString shown;
        {
            Driven<DlgGridSize> dialog;
            dialog.keysPosted = true;
            dialog.drive = [&](Driven<DlgGridSize>& d) {
                shown = ItemText(d, IDC_GRID_WIDTH);
                PostKey(VK_RETURN);
            };
            CHECK(dialog.DoModal() == DlgGridSize::kUnchanged);
        }
        CHECK(shown == "2.5 mm");
        CHECK(g_gridSize[0] == 100);
        CHECK(g_gridSize[1] == 100);
        {
            // A typed width: a new step, which shows as typed when the dialog opens again.
            Driven<DlgGridSize> dialog;
            dialog.keysPosted = true;
            dialog.drive = [&](Driven<DlgGridSize>& d) {
                d.GetDlgItem(IDC_GRID_WIDTH)->SetFocus();
                d.SetDlgItemText(IDC_GRID_WIDTH, "2.6 mm");
                PostKey(VK_RETURN);
            };
            CHECK(dialog.DoModal() == IDOK);
        }
        CHECK(g_gridSize[0] == 102);
        CHECK(g_gridSize[1] == 100);
        {
            Driven<DlgGridSize> dialog;
            dialog.keysPosted = true;
            dialog.drive = [&](Driven<DlgGridSize>& d) {
                shown = ItemText(d, IDC_GRID_WIDTH);
                PostKey(VK_RETURN);
            };
            CHECK(dialog.DoModal() == DlgGridSize::kUnchanged);
        }
        CHECK(shown == "2.6 mm");
        CHECK(g_gridSize[0] == 102);
    }
    SUBCASE("Cancel ends with IDCANCEL and changes nothing") {
        Driven<DlgGridSize> dialog;
        dialog.drive = [&](Driven<DlgGridSize>& d) {
            d.SetDlgItemText(IDC_GRID_WIDTH, "0.5");
            Command(d, IDCANCEL);
        };
        CHECK(dialog.DoModal() == IDCANCEL);
        CHECK(g_gridSize[0] == 125);
    }
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("the Units dialog") {
    Resources resources;
    KvMessageBoxCapture boxes;
    for (const char* units : {"Inches", "Millimeters"}) {
        CAPTURE(units);
        g_units = units;
        Driven<DlgPreferences> dialog;
        int selected = -1, count = 0;
        CString first, second;
        dialog.drive = [&](Driven<DlgPreferences>& d) {
            selected = d.m_units.GetCurSel();
            count = d.m_units.GetCount();
            d.m_units.GetLBText(0, first);
            d.m_units.GetLBText(1, second);
            d.m_units.SetCurSel(selected == 0 ? 1 : 0);
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK(count == 2);
        CHECK(first == "Inches");
        CHECK(second == "Millimeters");
        CHECK(selected == (std::string(units) == "Inches" ? 0 : 1));
        CHECK(g_units == (std::string(units) == "Inches" ? "Millimeters" : "Inches"));
    }
    // No selection counts as millimetres.
    g_units = "Inches";
    Driven<DlgPreferences> none;
    none.drive = [](Driven<DlgPreferences>& d) {
        d.m_units.SetCurSel(-1);
        Command(d, IDOK);
    };
    CHECK(none.DoModal() == IDOK);
    CHECK(g_units == "Millimeters");
    // Cancel ends with IDCANCEL, as the Grid Size dialog's does, and keeps the units.
    Driven<DlgPreferences> cancelled;
    cancelled.drive = [](Driven<DlgPreferences>& d) {
        d.m_units.SetCurSel(0);
        Command(d, IDCANCEL);
    };
    CHECK(cancelled.DoModal() == IDCANCEL);
    CHECK(g_units == "Millimeters");
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("the About box") {
    Resources resources;
    KvMessageBoxCapture boxes;
    g_programFolder = "C:\\Program Files\\Korvanelle";
    Driven<DlgAbout> dialog;
    CString caption, title, linkCaption, notice;
    std::string url;
    RECT titleRect = {}, textRect = {};
    HICON icon = nullptr;
    dialog.drive = [&](Driven<DlgAbout>& d) {
        d.GetWindowText(caption);
        title = ItemText(d, IDC_ABOUT_TITLE);
        notice = ItemText(d, IDC_ABOUT_NOTICE);
        linkCaption = ItemText(d, IDC_ABOUT_LINK);
        url = d.m_link.GetURL();
        icon = d.m_link.GetFirstIcon();
        d.m_title.GetWindowRect(&titleRect);
        d.m_text.GetWindowRect(&textRect);
        Command(d, IDOK);
    };
    CHECK(dialog.DoModal() == IDOK);
    CHECK(caption == "About Korvanelle");
    CHECK(title.Find("Korvanelle") == 0);
    CHECK(title.Right(14) == "5.00 (Build 7)");
    CHECK_FALSE(notice.IsEmpty());
    CHECK(linkCaption == CString("  ") + kProductWebAddress);
    CHECK(url == "C:\\Program Files\\Korvanelle\\website.url");
    CHECK(icon != nullptr);
    // The labels keep their template sizes: all three are as wide as the dialog's text column.
    CHECK(titleRect.right - titleRect.left == textRect.right - textRect.left);
    CHECK(boxes.Boxes().empty());
}
