#include "framework/win/ImageList.h"

#include "framework/win/WinApp.h"
#include "framework/win/Gdi.h"

namespace {
CObject* NewTempImageList(HANDLE h) {
    CImageList* p = new CImageList;
    p->m_hImageList = (HIMAGELIST)h;
    return p;
}
void ClearTempImageList(CObject* p) {
    static_cast<CImageList*>(p)->m_hImageList = nullptr;
}
CHandleMap* ImageListMap() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (!pState->m_pmapHIMAGELIST)
        pState->m_pmapHIMAGELIST = new CHandleMap(NewTempImageList, ClearTempImageList);
    return pState->m_pmapHIMAGELIST;
}
}  // namespace

IMPLEMENT_DYNCREATE(CImageList, CObject)

HIMAGELIST CImageList::KvSafeHandle(const CImageList* p) {
    return p ? p->m_hImageList : nullptr;
}

CImageList::~CImageList() {
    DeleteImageList();
}

CImageList* CImageList::FromHandle(HIMAGELIST h) {
    return static_cast<CImageList*>(ImageListMap()->FromHandle(h));
}
CImageList* CImageList::FromHandlePermanent(HIMAGELIST h) {
    return h ? static_cast<CImageList*>(ImageListMap()->LookupPermanent(h)) : nullptr;
}
void CImageList::DeleteTempMap() {
    ImageListMap()->DeleteTemp();
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
    if (hImageList == nullptr) return FALSE;
    if (m_hImageList != nullptr) DeleteImageList();
    m_hImageList = hImageList;
    ImageListMap()->SetPermanent(hImageList, this);
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST h = m_hImageList;
    if (h != nullptr) ImageListMap()->RemoveHandleOf(h, this);
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
    return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask) {
    return Attach(ImageList_LoadImageA(AfxGetResourceHandle(), lpszBitmapID, cx, nGrow, crMask, IMAGE_BITMAP,
                                       LR_CREATEDIBSECTION));
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
    return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Replace(m_hImageList, nImage, (HBITMAP)pbmImage->GetSafeHandle(),
                             (HBITMAP)pbmMask->GetSafeHandle());
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
    return ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg,
                        UINT nStyle) {
    return ImageList_DrawEx(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, sz.cx, sz.cy, clrBk, clrFg,
                            nStyle);
}
