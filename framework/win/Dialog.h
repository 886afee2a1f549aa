// Dialogs from templates, modal (with the framework's own modal loop) and
// modeless, and the data exchange between a dialog's members and its controls.
#pragma once

#include "framework/win/Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Modeless creation.
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                                HINSTANCE hInst = nullptr);

    // Modal: disables the owner (the parent's top-level window, else the main
    // window), runs the modal loop until EndDialog, and returns its result
    // (-1 when the template cannot be loaded or the window cannot be made).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Fills the dialog's controls from its dialog init data (resource type 240
    // of the template's name) and exchanges data to the controls; TRUE lets the
    // system give the focus to the first control.
    virtual BOOL OnInitDialog();
    // A dialog of its own ends: OK after UpdateData(TRUE) with IDOK, Cancel with IDCANCEL. A child
    // dialog (a page inside another dialog) hands them to the dialog that holds it instead.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSetFont(CFont* pFont) { (void)pFont; }
    BOOL PreTranslateMessage(MSG* pMsg) override;  // the dialog manager's keys

    // Runs dialog init data: records {WORD control id, WORD message, DWORD length,
    // bytes} until a control id of 0. The list and combo box "add string"
    // messages (16- and 32-bit numbers) are supported. FALSE on malformed data.
    BOOL ExecuteDlgInit(LPCTSTR lpszResourceName);
    BOOL ExecuteDlgInit(const void* lpResource, DWORD cbResource);

    int RunModalLoop(DWORD dwFlags = 0);
    BOOL ContinueModal() const { return m_bContinueModal; }
    void EndModalLoop(int nResult);  // the first end's result stays: later ends are ignored
    bool HasEnded() const;           // a modal dialog whose loop is ending or has ended
    BOOL IsModal() const { return m_bModal; }

    void NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return (DWORD)::SendMessage(m_hWnd, DM_GETDEFID, 0, 0); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    LPCTSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void HandleOK();
    void HandleCancel();
    void RunEndHandler(void (CDialog::*handler)());

    DECLARE_MESSAGE_MAP()

protected:
    virtual void PreInitDialog() {}
    bool PassToHolder(int id);            // false for a dialog of its own
    bool TabAcrossPage(const MSG* pMsg);  // Tab across a page's edge; false where it stays inside
    HWND PreModal();
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);

    BOOL m_bModal = FALSE;
    BOOL m_bContinueModal = FALSE;
    bool m_bInEndHandler = false;  // OK or Cancel is running (a box it shows may be up)
    int m_nModalResult = -1;
};

// The state of one UpdateData pass.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members (and validation)
    CWnd* m_pDlgWnd;
    HWND m_idLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    HWND PrepareCtrl(int nIDC);      // the control's handle; throws when there is none
    HWND PrepareEditCtrl(int nIDC);  // the same, remembering an edit control for Fail()
    // Gives the focus back to the last control and ends the pass with CUserException.
    [[noreturn]] void Fail();
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);  // nIDC: first button of the group
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
