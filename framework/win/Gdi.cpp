#include "framework/win/Gdi.h"

#include "framework/win/Wnd.h"

// ---- exceptions ----

IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)

BOOL CResourceException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    if (pnHelpContext) *pnHelpContext = 0;
    if (lpszError && nMaxError) lstrcpynA(lpszError, "A Windows resource could not be created.", nMaxError);
    return TRUE;
}

void AfxThrowResourceException() {
    throw new CResourceException;
}
void AfxThrowUserException() {
    throw new CUserException;
}

// ---- GDI objects ----

namespace {
CObject* NewTempGdiObject(HANDLE h) {
    CGdiObject* p;
    switch (::GetObjectType((HGDIOBJ)h)) {
        case OBJ_PEN:
        case OBJ_EXTPEN:
            p = new CPen;
            break;
        case OBJ_BRUSH:
            p = new CBrush;
            break;
        case OBJ_FONT:
            p = new CFont;
            break;
        case OBJ_BITMAP:
            p = new CBitmap;
            break;
        case OBJ_REGION:
            p = new CRgn;
            break;
        case OBJ_PAL:
            p = new CPalette;
            break;
        default:
            p = new CGdiObject;
            break;
    }
    p->m_hObject = (HGDIOBJ)h;
    return p;
}
void ClearTempGdiObject(CObject* p) {
    static_cast<CGdiObject*>(p)->m_hObject = nullptr;
}

CHandleMap* GdiMap() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!pState->m_pmapHGDIOBJ) pState->m_pmapHGDIOBJ = new CHandleMap(NewTempGdiObject, ClearTempGdiObject);
    return pState->m_pmapHGDIOBJ;
}

CObject* NewTempDC(HANDLE h) {
    CDC* p = new CDC;
    p->m_hDC = p->m_hAttribDC = (HDC)h;
    return p;
}
void ClearTempDC(CObject* p) {
    CDC* pDC = static_cast<CDC*>(p);
    pDC->m_hDC = pDC->m_hAttribDC = nullptr;
}
CHandleMap* DCMap() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!pState->m_pmapHDC) pState->m_pmapHDC = new CHandleMap(NewTempDC, ClearTempDC);
    return pState->m_pmapHDC;
}
}  // namespace

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

HGDIOBJ CGdiObject::KvSafeHandle(const CGdiObject* p) {
    return p ? p->m_hObject : nullptr;
}

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    return static_cast<CGdiObject*>(GdiMap()->FromHandle(hObject));
}

void CGdiObject::DeleteTempMap() {
    GdiMap()->DeleteTemp();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (hObject == nullptr) return FALSE;
    if (m_hObject != nullptr) DeleteObject();
    m_hObject = hObject;
    GdiMap()->SetPermanent(hObject, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (h != nullptr) GdiMap()->RemoveHandleOf(h, this);
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex) {
    HGDIOBJ h = ::GetStockObject(nIndex);
    if (h == nullptr) return FALSE;
    // Stock objects are never deleted; keep the handle without owning it.
    if (m_hObject != nullptr) DeleteObject();
    m_hObject = h;
    return TRUE;
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) {
    if (!CreatePen(nPenStyle, nWidth, crColor)) AfxThrowResourceException();
}

CBrush::CBrush(COLORREF crColor) {
    if (!CreateSolidBrush(crColor)) AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor) {
    if (!CreateHatchBrush(nIndex, crColor)) AfxThrowResourceException();
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
    return Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle()));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    lstrcpynA(lf.lfFaceName, lpszFaceName ? lpszFaceName : "", LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
    HDC hDC = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
    LOGFONT lf = *lpLogFont;
    POINT pt;
    pt.y = ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), lf.lfHeight, 720);
    pt.x = 0;
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = {0, 0};
    ::DPtoLP(hDC, &ptOrg, 1);
    lf.lfHeight = -abs(pt.y - ptOrg.y);
    if (pDC == nullptr) ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
    extern HINSTANCE AfxGetResourceHandle();
    return Attach(::LoadBitmap(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateDiscardableBitmap(pDC->m_hDC, nWidth, nHeight));
}

CSize CBitmap::GetBitmapDimension() const {
    SIZE size = {0, 0};
    ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
    return size;
}

BOOL CRgn::CreateFromPath(CDC* pDC) {
    return Attach(::PathToRegion(pDC->m_hDC));
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC) {
    return Attach(::CreateHalftonePalette(pDC->GetSafeHdc()));
}

int CPalette::GetEntryCount() const {
    WORD nEntries = 0;
    ::GetObject(m_hObject, sizeof(WORD), &nEntries);
    return nEntries;
}

// ---- CDC ----

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

HDC CDC::KvSafeHdc(const CDC* p) {
    return p ? p->m_hDC : nullptr;
}

CDC::~CDC() {
    if (m_hDC != nullptr) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC) {
    return static_cast<CDC*>(DCMap()->FromHandle(hDC));
}
void CDC::DeleteTempMap() {
    DCMap()->DeleteTemp();
}

CWnd* CDC::GetWindow() const {
    return CWnd::FromHandle(::WindowFromDC(m_hDC));
}

BOOL CDC::Attach(HDC hDC) {
    if (hDC == nullptr) return FALSE;
    // The context held so far is released as the destructor would, and unmapped.
    if (m_hDC != nullptr && m_hDC != hDC) ::DeleteDC(Detach());
    m_hDC = hDC;
    DCMap()->SetPermanent(hDC, this);
    SetAttribDC(hDC);
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    if (hDC != nullptr) DCMap()->RemoveHandleOf(hDC, this);
    ReleaseAttribDC();
    ReleaseOutputDC();
    return hDC;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    HGDIOBJ hObject = ::GetStockObject(nIndex);
    HGDIOBJ hOld = nullptr;
    if (m_hDC != m_hAttribDC && m_hDC) hOld = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC) hOld = ::SelectObject(m_hAttribDC, hObject);
    return CGdiObject::FromHandle(hOld);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    HGDIOBJ hOld = nullptr;
    if (hObject == nullptr) return nullptr;
    if (m_hDC != m_hAttribDC && m_hDC) hOld = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC) hOld = ::SelectObject(m_hAttribDC, hObject);
    return hOld;
}

CPen* CDC::SelectObject(CPen* pPen) {
    return (CPen*)CGdiObject::FromHandle(SelectObject(pPen->GetSafeHandle()));
}
CBrush* CDC::SelectObject(CBrush* pBrush) {
    return (CBrush*)CGdiObject::FromHandle(SelectObject(pBrush->GetSafeHandle()));
}
CFont* CDC::SelectObject(CFont* pFont) {
    return (CFont*)CGdiObject::FromHandle(SelectObject(pFont->GetSafeHandle()));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return (CBitmap*)CGdiObject::FromHandle(SelectObject(pBitmap->GetSafeHandle()));
}
int CDC::SelectObject(CRgn* pRgn) {
    int nRet = GDI_ERROR;
    if (m_hDC != m_hAttribDC && m_hDC) nRet = (int)(INT_PTR)::SelectObject(m_hDC, pRgn->GetSafeHandle());
    if (m_hAttribDC) nRet = (int)(INT_PTR)::SelectObject(m_hAttribDC, pRgn->GetSafeHandle());
    return nRet;
}
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return CGdiObject::FromHandle(SelectObject(pObject->GetSafeHandle()));
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
    return CPalette::FromHandle(
        ::SelectPalette(m_hDC, (HPALETTE)pPalette->GetSafeHandle(), bForceBackground));
}

COLORREF CDC::SetBkColor(COLORREF crColor) {
    COLORREF result = CLR_INVALID;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetBkColor(m_hDC, crColor);
    if (m_hAttribDC) result = ::SetBkColor(m_hAttribDC, crColor);
    return result;
}
int CDC::SetBkMode(int nBkMode) {
    int result = 0;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetBkMode(m_hDC, nBkMode);
    if (m_hAttribDC) result = ::SetBkMode(m_hAttribDC, nBkMode);
    return result;
}
COLORREF CDC::SetTextColor(COLORREF crColor) {
    COLORREF result = CLR_INVALID;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetTextColor(m_hDC, crColor);
    if (m_hAttribDC) result = ::SetTextColor(m_hAttribDC, crColor);
    return result;
}
int CDC::SetROP2(int nDrawMode) {
    int result = 0;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetROP2(m_hDC, nDrawMode);
    if (m_hAttribDC) result = ::SetROP2(m_hAttribDC, nDrawMode);
    return result;
}
int CDC::SetStretchBltMode(int nStretchMode) {
    int result = 0;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetStretchBltMode(m_hDC, nStretchMode);
    if (m_hAttribDC) result = ::SetStretchBltMode(m_hAttribDC, nStretchMode);
    return result;
}
int CDC::SetPolyFillMode(int nPolyFillMode) {
    int result = 0;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetPolyFillMode(m_hDC, nPolyFillMode);
    if (m_hAttribDC) result = ::SetPolyFillMode(m_hAttribDC, nPolyFillMode);
    return result;
}
UINT CDC::SetTextAlign(UINT nFlags) {
    UINT result = GDI_ERROR;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetTextAlign(m_hDC, nFlags);
    if (m_hAttribDC) result = ::SetTextAlign(m_hAttribDC, nFlags);
    return result;
}
int CDC::SetMapMode(int nMapMode) {
    int result = 0;
    if (m_hDC != m_hAttribDC && m_hDC) ::SetMapMode(m_hDC, nMapMode);
    if (m_hAttribDC) result = ::SetMapMode(m_hAttribDC, nMapMode);
    return result;
}

CPoint CDC::GetViewportOrg() const {
    POINT pt = {0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &pt);
    return pt;
}
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::SetViewportOrgEx(m_hDC, x, y, &pt);
    if (m_hAttribDC) ::SetViewportOrgEx(m_hAttribDC, x, y, &pt);
    return pt;
}
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &pt);
    if (m_hAttribDC) ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &pt);
    return pt;
}
CSize CDC::GetViewportExt() const {
    SIZE size = {0, 0};
    ::GetViewportExtEx(m_hAttribDC, &size);
    return size;
}
CSize CDC::SetViewportExt(int cx, int cy) {
    SIZE size = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::SetViewportExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC) ::SetViewportExtEx(m_hAttribDC, cx, cy, &size);
    return size;
}
CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom) {
    SIZE size = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::ScaleViewportExtEx(m_hDC, xNum, xDenom, yNum, yDenom, &size);
    if (m_hAttribDC) ::ScaleViewportExtEx(m_hAttribDC, xNum, xDenom, yNum, yDenom, &size);
    return size;
}
CPoint CDC::GetWindowOrg() const {
    POINT pt = {0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &pt);
    return pt;
}
CPoint CDC::SetWindowOrg(int x, int y) {
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::SetWindowOrgEx(m_hDC, x, y, &pt);
    if (m_hAttribDC) ::SetWindowOrgEx(m_hAttribDC, x, y, &pt);
    return pt;
}
CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight) {
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &pt);
    if (m_hAttribDC) ::OffsetWindowOrgEx(m_hAttribDC, nWidth, nHeight, &pt);
    return pt;
}
CSize CDC::GetWindowExt() const {
    SIZE size = {0, 0};
    ::GetWindowExtEx(m_hAttribDC, &size);
    return size;
}
CSize CDC::SetWindowExt(int cx, int cy) {
    SIZE size = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::SetWindowExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC) ::SetWindowExtEx(m_hAttribDC, cx, cy, &size);
    return size;
}
CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom) {
    SIZE size = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::ScaleWindowExtEx(m_hDC, xNum, xDenom, yNum, yDenom, &size);
    if (m_hAttribDC) ::ScaleWindowExtEx(m_hAttribDC, xNum, xDenom, yNum, yDenom, &size);
    return size;
}

void CDC::DPtoLP(LPSIZE lpSize) const {
    CSize sizeWinExt = GetWindowExt();
    CSize sizeVpExt = GetViewportExt();
    if (sizeVpExt.cx) lpSize->cx = ::MulDiv(lpSize->cx, abs(sizeWinExt.cx), abs(sizeVpExt.cx));
    if (sizeVpExt.cy) lpSize->cy = ::MulDiv(lpSize->cy, abs(sizeWinExt.cy), abs(sizeVpExt.cy));
}

void CDC::LPtoDP(LPSIZE lpSize) const {
    CSize sizeWinExt = GetWindowExt();
    CSize sizeVpExt = GetViewportExt();
    if (sizeWinExt.cx) lpSize->cx = ::MulDiv(lpSize->cx, abs(sizeVpExt.cx), abs(sizeWinExt.cx));
    if (sizeWinExt.cy) lpSize->cy = ::MulDiv(lpSize->cy, abs(sizeVpExt.cy), abs(sizeWinExt.cy));
}

void CDC::HIMETRICtoDP(LPSIZE lpSize) const {
    int cxPerInch = GetDeviceCaps(LOGPIXELSX), cyPerInch = GetDeviceCaps(LOGPIXELSY);
    lpSize->cx = ::MulDiv(lpSize->cx, cxPerInch, 2540);
    lpSize->cy = ::MulDiv(lpSize->cy, cyPerInch, 2540);
}

void CDC::DPtoHIMETRIC(LPSIZE lpSize) const {
    int cxPerInch = GetDeviceCaps(LOGPIXELSX), cyPerInch = GetDeviceCaps(LOGPIXELSY);
    if (cxPerInch) lpSize->cx = ::MulDiv(lpSize->cx, 2540, cxPerInch);
    if (cyPerInch) lpSize->cy = ::MulDiv(lpSize->cy, 2540, cyPerInch);
}

int CDC::ExcludeUpdateRgn(CWnd* pWnd) {
    return ::ExcludeUpdateRgn(m_hDC, pWnd->GetSafeHwnd());
}

CPoint CDC::GetCurrentPosition() const {
    POINT pt = {0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &pt);
    return pt;
}

CPoint CDC::MoveTo(int x, int y) {
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC && m_hDC) ::MoveToEx(m_hDC, x, y, &pt);
    if (m_hAttribDC) ::MoveToEx(m_hAttribDC, x, y, &pt);
    return pt;
}

BOOL CDC::LineTo(int x, int y) {
    if (m_hAttribDC && m_hDC != m_hAttribDC) ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc,
                         int ySrc, int nSrcWidth, int nSrcHeight, UINT clrTransparent) {
    typedef BOOL(WINAPI * PFN)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    static PFN pfn = (PFN)(void*)::GetProcAddress(::LoadLibraryA("msimg32.dll"), "TransparentBlt");
    if (pfn == nullptr) return FALSE;
    return pfn(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth,
               nSrcHeight, clrTransparent);
}

BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend) {
    typedef BOOL(WINAPI * PFN)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    static PFN pfn = (PFN)(void*)::GetProcAddress(::LoadLibraryA("msimg32.dll"), "AlphaBlend");
    if (pfn == nullptr) return FALSE;
    return pfn(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth,
               nSrcHeight, blend);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32(m_hAttribDC, lpszString, nCount, &size);
    return size;
}

CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &size);
    return size;
}

int CDC::GetTextFace(CString& rString) const {
    char sz[LF_FACESIZE + 1] = {0};
    int n = ::GetTextFace(m_hAttribDC, LF_FACESIZE, sz);
    rString = sz;
    return n;
}

int CDC::StartDoc(LPCTSTR lpszDocName) {
    DOCINFO di{};
    di.cbSize = sizeof(di);
    di.lpszDocName = lpszDocName;
    return StartDoc(&di);
}

// ---- window device contexts ----

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
    if (!Attach(::BeginPaint(m_hWnd, &m_ps))) AfxThrowResourceException();
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
    if (!Attach(::GetDC(m_hWnd))) AfxThrowResourceException();
}

CClientDC::~CClientDC() {
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
    if (!Attach(::GetWindowDC(m_hWnd))) AfxThrowResourceException();
}

CWindowDC::~CWindowDC() {
    ::ReleaseDC(m_hWnd, Detach());
}
