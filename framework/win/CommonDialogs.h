// The system's common dialogs: open and save file names, colour, and the
// printer set-up (the latter also used without being shown).
#pragma once

#include "framework/win/Wnd.h"

#include <commdlg.h>

class CDC;

// Base of the common dialogs: the owner and the modal result.
class CCommonDialog : public CWnd {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd) : m_pParentWnd(pParentWnd) {}
    CWnd* m_pParentWnd;

protected:
    // The window that owns the dialog: the given parent's top-level window, else the main window.
    HWND PreModal();
};

class CFileDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: "Description|*.ext;*.ext2|Other|*.*||", '|' separating the pairs.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    OPENFILENAME m_ofn;  // m_ofn.lpstrInitialDir sets the initial folder, m_ofn.lpstrTitle the caption

    virtual INT_PTR DoModal();  // IDOK or IDCANCEL

    CString GetPathName() const;   // the full path of the (first) chosen file
    CString GetFileName() const;   // name with extension
    CString GetFileExt() const;    // extension without the dot
    CString GetFileTitle() const;  // name without extension
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    POSITION GetStartPosition() const { return (POSITION)m_ofn.lpstrFile; }
    CString GetNextPathName(POSITION& pos) const;  // multiple selection

    // The filter in the system's form: pairs separated and ended by zeros.
    static CString MakeSystemFilter(LPCTSTR lpszFilter);

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    char m_szFileName[4096];
    char m_szFileTitle[MAX_PATH];
};

class CColorDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    CHOOSECOLOR m_cc;
    virtual INT_PTR DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
    static COLORREF* GetSavedCustomColors();
};

// The printer set-up. GetDefaults fills the device mode and names of the
// default printer without showing anything; the handles in m_pd belong to the
// object and are freed by its destructor (unless taken with Detach...).
class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                          PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    PRINTDLG m_pd;

    virtual INT_PTR DoModal();
    BOOL GetDefaults();
    // A printer DC for the current device names and mode (also stored in m_pd.hDC,
    // which the object deletes); null when there is none.
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }
    LPDEVMODE GetDevMode() const;  // locked pointer into m_pd.hDevMode (stays locked while the object lives)
    CString GetDriverName() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    int GetCopies() const;
    BOOL PrintAll() const { return (m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)) == 0; }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }
    // Frees the device mode and names blocks and the printer DC held in m_pd.
    void FreeHandles();

private:
    mutable HGLOBAL m_hLockedDevMode = nullptr;
    void UnlockDevMode() const;
    void DeletePrinterDC();
};

// Copies a global memory block (device modes and names); null for null.
HGLOBAL AfxCopyGlobalBlock(HGLOBAL hSource);
// Creates a DC from device names and a device mode; null on failure.
HDC AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode);
