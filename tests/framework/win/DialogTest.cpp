// Modal dialogs from a resource template: dialog init data, data exchange
// both ways, validation, and the result when a test closes them.
#include <doctest.h>

#include <functional>

#include "framework/Win.h"
#include "GuiSupport.h"
#include "WinTestIds.h"

namespace {

// Top-level windows are slow to hide without a window manager: one owner for all.
CWnd& Owner() {
    static CWnd* pOwner = [] {
        CWnd* p = new CWnd;
        p->CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_BTNFACE + 1)), "Owner",
                    WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 100, 600, 400, nullptr, nullptr);
        return p;
    }();
    return *pOwner;
}

class CTestDialog : public CDialog {
public:
    explicit CTestDialog(CWnd* pParent) : CDialog(IDD_TEST, pParent) {}

    CString m_name = "Alice";
    int m_count = 3;
    CString m_colour = "Green";
    int m_size = 1;
    int m_enabled = 1;
    CComboBox m_combo;

    // What the dialog looked like when it opened.
    int m_initComboCount = -1;
    CString m_initComboText;
    CString m_initName;
    CString m_initCount;
    int m_initListCount = -1;
    CString m_initListText;
    int m_initCheck = -1;
    BOOL m_ownerDisabled = FALSE;
    CRect m_initRect;

    std::function<void(CTestDialog&, int)> m_script;  // runs on each timer tick
    int m_tick = 0;
    int m_cancels = 0;
    void OnCancel() override { ++m_cancels, CDialog::OnCancel(); }

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_COLOUR, m_combo);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 0, 99);
        DDX_CBString(pDX, IDC_COLOUR, m_colour);
        DDX_LBIndex(pDX, IDC_SIZES, m_size);
        DDX_Check(pDX, IDC_ENABLED, m_enabled);
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_initComboCount = m_combo.GetCount();
        m_combo.GetWindowText(m_initComboText);
        GetDlgItemText(IDC_NAME, m_initName);
        GetDlgItemText(IDC_COUNT, m_initCount);
        m_initListCount = (int)SendDlgItemMessage(IDC_SIZES, LB_GETCOUNT);
        char sz[32] = {0};
        SendDlgItemMessage(IDC_SIZES, LB_GETTEXT, (WPARAM)SendDlgItemMessage(IDC_SIZES, LB_GETCURSEL),
                           (LPARAM)sz);
        m_initListText = sz;
        m_initCheck = (int)IsDlgButtonChecked(IDC_ENABLED);
        SetTimer(1, 30, nullptr);
        return TRUE;
    }

    void OnTimer(UINT_PTR) {
        if (m_tick == 0) {
            m_ownerDisabled = !Owner().IsWindowEnabled();
            GetWindowRect(&m_initRect);
        }
        ++m_tick;
        if (m_script) m_script(*this, m_tick);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

}  // namespace

TEST_CASE("a modal dialog fills its controls from init data, exchanges data both ways and ends with OK") {
    KvMessageBoxCapture boxes(IDOK);
    CTestDialog dlg(&Owner());
    bool savedPicture = false;
    dlg.m_script = [&](CTestDialog& d, int tick) {
        if (tick == 1) {
            savedPicture = kvtest::SaveWindowPng(d.m_hWnd, "test_dialog.png");
            d.SetDlgItemText(IDC_NAME, "Bob");
            d.SetDlgItemText(IDC_COUNT, "abc");  // not a number: OK must refuse
            d.m_combo.SetCurSel(d.m_combo.FindStringExact(-1, "Blue"));
            d.CheckDlgButton(IDC_ENABLED, BST_UNCHECKED);
            d.SendDlgItemMessage(IDC_SIZES, LB_SETCURSEL, 0);
            d.PostMessage(WM_COMMAND, IDOK);
        } else if (tick == 2) {
            d.SetDlgItemText(IDC_COUNT, "42");
            d.PostMessage(WM_COMMAND, IDOK);
        } else if (tick > 20) {
            d.EndDialog(-2);  // never reached when the dialog behaves
        }
    };
    INT_PTR result = dlg.DoModal();
    CHECK(result == IDOK);

    // Init data and the members reached the controls.
    CHECK(dlg.m_initComboCount == 3);
    CHECK(dlg.m_initComboText == "Green");
    CHECK(dlg.m_initListCount == 2);
    CHECK(dlg.m_initListText == "Large");
    CHECK(dlg.m_initName == "Alice");
    CHECK(dlg.m_initCount == "3");
    CHECK(dlg.m_initCheck == BST_CHECKED);
    CHECK(savedPicture);

    // The owner was disabled while the dialog ran, and is enabled again.
    CHECK(dlg.m_ownerDisabled);
    CHECK(Owner().IsWindowEnabled());

    // The dialog was centred on its owner.
    CRect rcOwner;
    Owner().GetWindowRect(&rcOwner);
    CHECK(abs(dlg.m_initRect.CenterPoint().x - rcOwner.CenterPoint().x) <= 1);
    CHECK(abs(dlg.m_initRect.CenterPoint().y - rcOwner.CenterPoint().y) <= 1);

    // The first OK was refused with a message; the second one took the values.
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.Boxes()[0].text == "Please enter an integer.");
    CHECK(dlg.m_tick == 2);
    CHECK(dlg.m_name == "Bob");
    CHECK(dlg.m_count == 42);
    CHECK(dlg.m_colour == "Blue");
    CHECK(dlg.m_size == 0);
    CHECK(dlg.m_enabled == 0);
    CHECK(dlg.m_hWnd == nullptr);
}

TEST_CASE("Cancel ends a modal dialog without taking the controls' values") {
    KvMessageBoxCapture boxes(IDOK);
    CTestDialog dlg(&Owner());
    dlg.m_script = [](CTestDialog& d, int tick) {
        if (tick == 1) {
            d.SetDlgItemText(IDC_NAME, "Changed");
            d.PostMessage(WM_COMMAND, IDCANCEL);
        } else if (tick > 20) {
            d.EndDialog(-2);
        }
    };
    CHECK(dlg.DoModal() == IDCANCEL);
    CHECK(dlg.m_name == "Alice");
    CHECK(boxes.Boxes().empty());
    CHECK(Owner().IsWindowEnabled());
}

TEST_CASE("a Cancel that reaches a dialog after its OK, while a box's loop runs, changes nothing") {
    CTestDialog dlg(&Owner());
    dlg.m_script = [](CTestDialog& d, int tick) {
        if (tick == 1) {
            for (int id : {IDOK, IDCANCEL}) ::PostMessageA(::GetDlgItem(d.m_hWnd, id), BM_CLICK, 0, 0);
            kvtest::PumpPending();  // the box's loop, while the dialog's waits
        } else if (tick > 20) {
            d.EndDialog(-2);
        }
    };
    CHECK(dlg.DoModal() == IDOK);
    CHECK(dlg.m_cancels == 0);
}

TEST_CASE("a dialog that ends during its initialisation returns at once, a missing template gives -1") {
    struct CQuickDialog : public CDialog {
        CQuickDialog() : CDialog(IDD_TEST, &Owner()) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            EndDialog(77);
            return TRUE;
        }
    } quick;
    CHECK(quick.DoModal() == 77);
    CDialog missing(9999, &Owner());
    CHECK(missing.DoModal() == -1);
    CHECK(Owner().IsWindowEnabled());
}

TEST_CASE("the Enter and Escape keys reach OK and Cancel through the dialog manager") {
    for (const UINT key : {VK_ESCAPE, VK_RETURN}) {
        CAPTURE(key);
        CTestDialog dlg(&Owner());
        dlg.m_script = [key](CTestDialog& d, int tick) {
            if (tick == 1) {
                HWND hEdit = ::GetDlgItem(d.m_hWnd, IDC_NAME);
                ::SetFocus(hEdit);
                ::PostMessage(hEdit, WM_KEYDOWN, key, 0x00010001);
            } else if (tick > 20) {
                d.EndDialog(-2);
            }
        };
        CHECK(dlg.DoModal() == (key == VK_ESCAPE ? IDCANCEL : IDOK));
    }
}
