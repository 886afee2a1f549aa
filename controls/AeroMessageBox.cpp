// The themed message box: set-up of its controls, its layout from the message's size, the button
// handlers, and the hook that every box passes before it shows a window.
#include "controls/AeroMessageBox.h"

#include <algorithm>

#include "controls/ThemeResources.h"
#include "res/ControlsIds.h"

BEGIN_MESSAGE_MAP(AeroMessageBox, AeroDialog)
    ON_BN_CLICKED(IDC_MSGBOX_CHECK, OnCheck)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

namespace {

const int kMaxButtons = 3;

RECT ClientRectOf(const CWnd& window) {
    RECT r = {0, 0, 0, 0};
    ::GetClientRect(window.m_hWnd, &r);
    return r;
}

SIZE SizeOf(const RECT& r) {
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The window rectangle of a child in its parent's client coordinates.
RECT ChildRect(const CWnd& child) {
    RECT r = {0, 0, 0, 0};
    ::GetWindowRect(child.m_hWnd, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child.m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveTo(CWnd& window, POINT at, bool show) {
    ::SetWindowPos(window.m_hWnd, nullptr, at.x, at.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0));
}

}  // namespace

AeroMessageBox::AeroMessageBox(CWnd* parent) : AeroDialog(IDD_AERO_MESSAGEBOX, parent) {
    GuardOperation(1860, [&] {
        m_iconKind = kBoxInformation;
        m_caption = "Korvanelle";
        m_checkBox = false;
        m_noCaptionIcon = false;
        m_centreButtons = true;
    });
}

AeroMessageBox::~AeroMessageBox() = default;

void AeroMessageBox::AddButton(CString caption, WORD resultId, WORD isDefault, CString linkTarget) {
    GuardOperation(1864, [&] {
        // The box has three button controls; a fourth would have nowhere to go.
        if (m_buttonCaptions.GetSize() >= kMaxButtons) return;
        m_buttonCaptions.Add(caption);
        m_buttonResults.Add(resultId);
        m_buttonLinks.Add(linkTarget);
        m_buttonDefaults.Add(isDefault);
    });
}

void AeroMessageBox::SetLink(CString target, CString text) {
    GuardOperation(1869, [&] {
        m_linkTarget = target;
        m_linkText = text;
        m_linkLabel.SetLink(target, text);
    });
}

KvMessageBoxRequest AeroMessageBox::MakeHookRequest() const {
    KvMessageBoxRequest request;
    request.owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    request.text = m_message;
    request.caption = m_caption;
    request.themed = true;
    request.iconKind = m_iconKind;
    switch (m_iconKind) {
        case kBoxError:
            request.type = MB_ICONERROR;
            break;
        case kBoxWarning:
            request.type = MB_ICONWARNING;
            break;
        case kBoxInformation:
            request.type = MB_ICONINFORMATION;
            break;
        default:
            request.type = 0;
            break;
    }
    for (INT_PTR i = 0; i < m_buttonCaptions.GetSize(); ++i) {
        KvMessageBoxButton button;
        button.caption = m_buttonCaptions[i];
        button.result = m_buttonResults[i];
        button.isDefault = m_buttonDefaults[i] != 0;
        button.link = m_buttonLinks[i];
        request.buttons.push_back(button);
    }
    request.linkTarget = m_linkTarget;
    request.linkText = m_linkText;
    request.glass = m_glassMode == 1;
    request.hasCheck = m_checkBox;
    return request;
}

INT_PTR AeroMessageBox::DoModal() {
    KvMessageBoxRequest request = MakeHookRequest();
    int answer = 0;
    if (AfxCallMessageBoxHook(request, &answer)) {
        if (!request.runLive) {
            m_checkBox = request.hasCheck && request.checked;
            return answer;
        }
        m_liveDriver = request.runLive;
    }
    m_driverFailure = nullptr;
    const INT_PTR result = AeroDialog::DoModal();
    m_liveDriver = nullptr;
    if (m_driverFailure) std::rethrow_exception(m_driverFailure);
    return result;
}

LRESULT AeroMessageBox::OnKickIdle(WPARAM, LPARAM) {
    if (!m_liveDriver) return 0;
    // Once only: the driver may pump messages, which would come back here.
    std::function<void(HWND)> driver = std::move(m_liveDriver);
    m_liveDriver = nullptr;
    try {
        driver(m_hWnd);
    } catch (...) {
        // Carried out of the modal loop and thrown again by DoModal.
        m_driverFailure = std::current_exception();
    }
    if (m_hWnd && ContinueModal()) EndDialog(-1);
    return 0;
}

BOOL AeroMessageBox::OnInitDialog() {
    GuardOperation(1861, [&] {
        AeroDialog::OnInitDialog();
        if (m_noCaptionIcon) SendMessage(WM_SETICON, ICON_SMALL, 0);
        SubclassControls();
        SetIconByKind();
        SetWindowText(m_caption);
        Layout();
        FocusDefaultButton();
    });
    return FALSE;
}

void AeroMessageBox::FocusDefaultButton() {
    // Space presses the focused button, and a focused push button is also the one Enter presses:
    // the focus goes where the default is ("No" before a template is deleted), not to the first.
    const int count = static_cast<int>(std::min<INT_PTR>(m_buttonCaptions.GetSize(), kMaxButtons));
    for (int i = 0; i < count; ++i) {
        if (m_buttonDefaults[i] && m_buttons[i].m_hWnd) {
            GotoDlgCtrl(&m_buttons[i]);
            return;
        }
    }
}

void AeroMessageBox::SubclassControls() {
    GuardOperation(1862, [&] {
        m_icon.SubclassDlgItem(IDC_MSGBOX_ICON, this);
        m_check.SubclassDlgItem(IDC_MSGBOX_CHECK, this);
        if (!m_message.IsEmpty()) m_messageLabel.m_text = m_message;
        m_messageLabel.SubclassDlgItem(IDC_MSGBOX_TEXT, this);
        if (m_linkLabel.HasLink()) m_linkLabel.SubclassDlgItem(IDC_MSGBOX_LINK, this);
    });
}

void AeroMessageBox::SetIconByKind() {
    GuardOperation(1863, [&] {
        HICON icon = nullptr;
        switch (m_iconKind) {
            case kBoxError:
                icon = ::LoadIcon(nullptr, IDI_HAND);
                break;
            case kBoxWarning:
                icon = ::LoadIcon(nullptr, IDI_EXCLAMATION);
                break;
            case kBoxInformation:
                icon = ::LoadIcon(nullptr, IDI_ASTERISK);
                break;
            case kBoxAppIcon:
                icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(128));
                if (!icon) icon = g_appIconLarge;
                break;
            default:
                break;
        }
        if (icon) m_icon.SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    });
}

void AeroMessageBox::Layout() {
    GuardOperation(1865, [&] {
        MessageBoxLayoutInput in;
        in.icon = ChildRect(m_icon);
        in.message = SizeOf(ClientRectOf(m_messageLabel));
        in.messageGlow = m_messageLabel.HasGlowMargin();
        in.hasLink = m_linkLabel.HasLink() && m_linkLabel.m_hWnd != nullptr;
        if (in.hasLink) in.link = SizeOf(ClientRectOf(m_linkLabel));
        in.hasCheck = m_checkBox;
        if (m_checkBox) {
            // From here on the field is the answer: it follows the control.
            m_checkBox = false;
            in.check = SizeOf(ClientRectOf(m_check));
            in.checkGlow = m_check.HasGlowMargin();
        }
        const int count = static_cast<int>(std::min<INT_PTR>(m_buttonCaptions.GetSize(), kMaxButtons));
        for (int i = 0; i < count; ++i) {
            AeroButton& button = m_buttons[i];
            button.m_caption = m_buttonCaptions[i];
            button.SubclassDlgItem(IDC_MSGBOX_BUTTON1 + i, this);
            // The result is the button's id: pressed from outside by what it answers.
            if (m_buttonResults[i] != 0) button.SetDlgCtrlID(m_buttonResults[i]);
            button.GenerateBackground(6, 8, 10, 0, 0);
            if (!m_buttonLinks[i].IsEmpty()) button.SetURL(m_buttonLinks[i]);
            // The buttons draw themselves, so the dialog manager cannot see which one is the
            // default by its style: it is told, and Enter presses that button (not IDOK, which
            // a box whose default is "No" would have taken as its first button's "Yes").
            if (m_buttonDefaults[i]) {
                button.ModifyStyle(0, BS_DEFPUSHBUTTON);
                SendMessage(DM_SETDEFID, button.GetDlgCtrlID(), 0);
            }
            in.buttons.push_back(SizeOf(ChildRect(button)));
        }
        in.glow = g_glowMargin;
        in.centreButtons = m_centreButtons;

        const MessageBoxLayout out = ComputeMessageBoxLayout(in);
        MoveTo(m_messageLabel, out.message, false);
        if (in.hasLink) MoveTo(m_linkLabel, out.link, true);
        if (in.hasCheck) MoveTo(m_check, out.check, true);
        for (int i = 0; i < count; ++i)
            MoveTo(m_buttons[i], POINT{out.buttons[i].left, out.buttons[i].top}, true);

        RECT window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        const int extraX = (window.right - window.left) - (client.right - client.left);
        const int extraY = (window.bottom - window.top) - (client.bottom - client.top);
        SetWindowPos(nullptr, 0, 0, out.client.cx + extraX, out.client.cy + extraY,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

void AeroMessageBox::OnButton(int index, int errorNumber) {
    GuardOperation(errorNumber, [&] {
        if (index < m_buttonResults.GetSize() && m_buttonResults[index] != 0)
            EndDialog(m_buttonResults[index]);
    });
}

int AeroMessageBox::ButtonIndexOf(HWND control) const {
    if (control == nullptr) return -1;
    const int count = static_cast<int>(std::min<INT_PTR>(m_buttonCaptions.GetSize(), kMaxButtons));
    for (int i = 0; i < count; ++i)
        if (m_buttons[i].m_hWnd == control) return i;
    return -1;
}

BOOL AeroMessageBox::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A button's id is its result, which may be IDOK or IDCANCEL: the click is told by the
    // button's window (a command without one, such as Escape's IDCANCEL, names it by its id).
    if (HIWORD(wParam) == BN_CLICKED) {
        HWND control = lParam != 0 ? reinterpret_cast<HWND>(lParam) : ::GetDlgItem(m_hWnd, LOWORD(wParam));
        switch (ButtonIndexOf(control)) {
            case 0:
                OnButton(0, 1866);
                return TRUE;
            case 1:
                OnButton(1, 1867);
                return TRUE;
            case 2:
                OnButton(2, 1868);
                return TRUE;
            default:
                break;
        }
    }
    return AeroDialog::OnCommand(wParam, lParam);
}

void AeroMessageBox::OnCheck() {
    GuardOperation(1870, [&] { m_checkBox = m_check.SendMessage(BM_GETCHECK, 0, 0) != 0; });
}
