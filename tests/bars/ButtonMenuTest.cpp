// The drop-down option button in a real window: its items and current option, the menu it drops
// (driven by keys the menu loop reads), the command it sends, and the arrow it paints.
#include <doctest.h>

#include <vector>

#include "BarsHarness.h"
#include "GuiSupport.h"
#include "bars/ButtonMenu.h"
#include "controls/ThemeResources.h"

namespace {

// A parent that records the commands its children send.
class CommandRecorder : public CWnd {
public:
    std::vector<UINT> commands;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (lParam == 0) commands.push_back(LOWORD(wParam));
        return TRUE;
    }
};

// Keys queued before the menu opens are read by its loop once it runs.
void QueueKeys(HWND window, std::initializer_list<UINT> keys) {
    for (UINT key : keys) {
        ::PostMessage(window, WM_KEYDOWN, key, 1);
        ::PostMessage(window, WM_KEYUP, key, 0xC0000001);
    }
}

}  // namespace

TEST_CASE("the drop-down option button") {
    barstest::Harness& h = barstest::TheHarness();
    CommandRecorder parent;
    REQUIRE(
        parent.Create(nullptr, "recorder", WS_CHILD | WS_VISIBLE, CRect(0, 180, 600, 260), h.frame, 4711));
    CButtonMenu button;
    button.m_glassRequest = 0;
    REQUIRE(button.Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_OWNERDRAW, CRect(200, 10, 330, 34),
                          &parent, 32951));
    button.m_pImageList = CImageList::FromHandle(g_toolImageList);
    button.m_bShowCaption = 1;

    SUBCASE("without items it offers nothing") {
        CHECK(button.GetItemCount() == 0);
        CHECK(button.GetCurrentId() == 0u);
        CHECK(button.GetCurrentText().IsEmpty());
        button.SetCurrentItem(0);
        button.ShowMenu();
        CHECK(button.m_bMenuBuilt == 0);
        CHECK(parent.commands.empty());
    }
    SUBCASE("items and the current option") {
        button.SetItems(OptionLists::kWrapTracks);
        CHECK(button.GetItemCount() == 4);
        CHECK(button.m_currentItem == -1);
        button.SetCurrentItemByText("Multi-Line");
        CHECK(button.m_currentItem == 1);
        // The menu itself waits until it is first opened (the bars set every option at start-up).
        CHECK(button.m_bMenuBuilt == 0);
        CHECK(button.GetCurrentId() == ID_WRAP_MULTI_LINE);
        CString text;
        button.GetWindowText(text);
        CHECK(text == "Multi-Line");
        CHECK(button.GetFirstIcon() != nullptr);
        button.SetCurrentItemByText("Sideways");
        CHECK(button.GetCurrentText() == "Multi-Line");
        button.SetCurrentItemById(ID_TRACK_WRAP);
        CHECK(button.GetCurrentText() == "Track-Wrap");
        button.SetCurrentItem(4);
        CHECK(button.m_currentItem == 3);
        button.m_bShowCaption = 0;
        button.SetCurrentItem(0);
        button.GetWindowText(text);
        CHECK(text == " ");
        button.RemoveAllItems();
        CHECK((button.GetItemCount() == 0 && button.m_currentItem == -1 && button.m_bMenuBuilt == 0));
    }
    SUBCASE("choosing from the menu makes the option current and sends its command") {
        button.SetItems(OptionLists::kAngle);
        button.SetCurrentItem(0);
        ::SetCursorPos(5, 700);
        QueueKeys(button.m_hWnd, {VK_DOWN, VK_DOWN, VK_RETURN});
        button.ShowMenu();
        REQUIRE(parent.commands.size() == 1);
        CHECK(parent.commands[0] == ID_ANGLE_90);
        CHECK(button.GetCurrentText() == "90 degrees");

        QueueKeys(button.m_hWnd, {VK_ESCAPE});
        button.ShowMenu();
        REQUIRE(parent.commands.size() == 2);
        CHECK(parent.commands[1] == 0u);  // nothing chosen
        CHECK(button.GetCurrentText() == "90 degrees");
        // The radio check sat on the current option while the menu was open.
        CHECK((::GetMenuState(button.m_menu.m_hMenu, 2, MF_BYPOSITION) & MF_CHECKED) != 0);
        CHECK((::GetMenuState(button.m_menu.m_hMenu, 1, MF_BYPOSITION) & MF_CHECKED) == 0);
        CHECK(button.m_bSkipNextOpen == 0);  // the pointer is elsewhere: no click to swallow
        CHECK(button.m_bMenuOpen == 0);
    }
    SUBCASE("the click that closes the menu does not open it again") {
        button.SetItems(OptionLists::kAngle);
        button.SetCurrentItem(0);
        CRect window;
        button.GetWindowRect(&window);
        ::SetCursorPos(window.left + 5, window.top + 5);
        QueueKeys(button.m_hWnd, {VK_ESCAPE});
        button.ShowMenu();
        CHECK(button.m_bSkipNextOpen == 1);
        button.ShowMenu();  // the closing click: swallowed, no menu, no command
        CHECK(button.m_bSkipNextOpen == 0);
        CHECK(parent.commands.size() == 1);
        ::SetCursorPos(5, 700);
    }
    SUBCASE("the arrow: rows of 9, 7, 5, 3 and 1 black pixels") {
        button.SetItems(OptionLists::kAngle);
        button.SetCurrentItem(1);
        button.RedrawWindow();
        h.Pump();
        const kvtest::Capture shot = kvtest::CaptureWindow(button.m_hWnd);
        REQUIRE_FALSE(shot.Empty());
        CRect client;
        button.GetClientRect(&client);
        const int x = client.right - 12, y = client.Height() / 2 - 2;
        for (int row = 0; row < 5; ++row) {
            for (int i = row; i < 9 - row; ++i) CHECK(shot.At(x + i, y + row) == 0u);
            CHECK(shot.At(x + row - 1, y + row) != 0u);
        }
    }
    button.DestroyWindow();
    parent.DestroyWindow();
}
