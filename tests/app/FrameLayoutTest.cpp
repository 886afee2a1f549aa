// The main frame's bar layout across runs: the default docking, the layout kept for the next
// start, a stale layout refused as a whole, floating bars hidden at start, the View menu's
// toggles, and Close during print preview.
#include <doctest.h>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "res/CommandIds.h"

namespace {

bool ItemChecked(KorvanelleFrame* frame, UINT command) {
    return (::GetMenuState(::GetMenu(frame->m_hWnd), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

UINT DockSideOf(CControlBar* bar) {
    return bar->m_pDockBar != nullptr && !bar->IsFloating() ? bar->m_pDockBar->GetDlgCtrlID() : 0;
}

// Changes the saved entry of the bar `barId` to name `newId` instead; false when none was found.
bool RenameSavedBar(UINT barId, UINT newId) {
    for (int n = 0; n < 32; ++n) {
        CString key;
        key.Format("Software\\Korvanelle\\%s\\Toolbars-Bar%d", kvtest::kTestProfileName, n);
        HKEY h = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ | KEY_WRITE, &h) != 0) continue;
        DWORD value = 0, size = sizeof(value);
        bool found =
            RegQueryValueExA(h, "BarID", nullptr, nullptr, (BYTE*)&value, &size) == 0 && value == barId;
        if (found) RegSetValueExA(h, "BarID", 0, REG_DWORD, (const BYTE*)&newId, sizeof(newId));
        RegCloseKey(h);
        if (found) return true;
    }
    return false;
}

}  // namespace

TEST_CASE("bar layout: built by default, kept for the next start, hidden when floating, stale ones refused") {
    kvtest::TemporaryUserFolders folders;
    {
        // First run: the default docking, every bar shown and its menu item checked.
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        for (const auto& entry : frame->Bars()) {
            CAPTURE(entry.command);
            CHECK(entry.bar->IsWindowVisible());
            CHECK(ItemChecked(frame, entry.command));
        }
        CHECK(DockSideOf(&frame->m_toolColor) == AFX_IDW_DOCKBAR_TOP);
        CHECK(DockSideOf(&frame->m_toolProperties) == AFX_IDW_DOCKBAR_TOP);
        CHECK(DockSideOf(&frame->m_toolMain) == AFX_IDW_DOCKBAR_TOP);
        CHECK(DockSideOf(&frame->m_barText) == AFX_IDW_DOCKBAR_LEFT);

        // Each View menu toggle hides its bar and shows it again.
        for (const auto& entry : frame->Bars()) {
            CAPTURE(entry.command);
            frame->SendMessage(WM_COMMAND, entry.command);
            CHECK_FALSE(entry.bar->IsWindowVisible());
            CHECK_FALSE(ItemChecked(frame, entry.command));
            frame->SendMessage(WM_COMMAND, entry.command);
            CHECK(entry.bar->IsWindowVisible());
            CHECK(ItemChecked(frame, entry.command));
        }

        frame->SendMessage(WM_COMMAND, ID_VIEW_PROPERTIES_TOOLBAR);
        CHECK_FALSE(frame->m_toolProperties.IsWindowVisible());
        run.Close();
    }
    {
        // The layout of the last run: the properties bar stays hidden. The colour bar is floated
        // before this run ends.
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        CHECK(frame->m_toolColor.IsWindowVisible());
        CHECK_FALSE(frame->m_toolProperties.IsWindowVisible());
        CHECK_FALSE(ItemChecked(frame, ID_VIEW_PROPERTIES_TOOLBAR));
        frame->FloatControlBar(&frame->m_toolColor, CPoint(300, 300));
        CHECK(frame->m_toolColor.IsFloating());
        run.Close();
    }
    {
        // A bar that was floating starts hidden while the frame is; its item keeps the check, so
        // the view shows it once the main window is up.
        bool floatingHidden = false, itemKept = false;
        kvtest::RunningApp run([&] {
            KorvanelleFrame* frame = GetMainFrame();
            floatingHidden = frame->m_toolColor.IsFloating() && !frame->m_toolColor.IsWindowVisible();
            itemKept = ItemChecked(frame, ID_VIEW_COLOR_TOOLBAR);
        });
        REQUIRE(run.Started());
        CHECK(floatingHidden);
        CHECK(itemKept);
        KorvanelleFrame* frame = GetMainFrame();
        CHECK(frame->m_toolColor.IsFloating());
        CHECK(frame->m_toolColor.IsWindowVisible());
        CHECK_FALSE(frame->m_toolProperties.IsWindowVisible());
        run.Close();
    }
    // A saved layout naming a bar this frame does not have is refused as a whole: the default
    // docking is built again (the properties bar shows again, the colour bar docks on top).
    REQUIRE(RenameSavedBar(ID_BAR_PROPERTIES, 4242));
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        CHECK(frame->m_toolProperties.IsWindowVisible());
        CHECK(DockSideOf(&frame->m_toolColor) == AFX_IDW_DOCKBAR_TOP);
        CHECK_FALSE(frame->VerifyBarState("NoSuchProfile"));
        run.Close();
    }
}

TEST_CASE("Close during print preview only ends the preview") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    run.app.m_inPrintPreview = 1;
    frame->SendMessage(WM_CLOSE);
    CHECK(::IsWindow(frame->m_hWnd));
    run.app.m_inPrintPreview = 0;
    run.Close();
    CHECK(run.app.m_pMainWnd == nullptr);
}
