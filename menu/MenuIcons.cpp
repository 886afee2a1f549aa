#include "menu/MenuIcons.h"

#include "menu/MenuHelpers.h"

#include <cstring>

namespace {
const UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;
bool IsIntId(LPCTSTR p) {
    return ((ULONG_PTR)p >> 16) == 0;
}
CTypedPtrList<CPtrList, CStyledMenuIcons*>* g_pIconSets = nullptr;
}  // namespace

IMPLEMENT_DYNAMIC(CStyledMenuIcons, CObject)
IMPLEMENT_DYNAMIC(CStyledMenuBitmaps, CStyledMenuIcons)

CTypedPtrList<CPtrList, CStyledMenuIcons*>*& CStyledMenuIcons::IconSetList() {
    return g_pIconSets;
}

void CStyledMenuIcons::AddToList(CStyledMenuIcons* pSet) {
    if (g_pIconSets == nullptr) g_pIconSets = new CTypedPtrList<CPtrList, CStyledMenuIcons*>(10);
    g_pIconSets->AddTail(pSet);
}

void CStyledMenuIcons::DeleteList() {
    delete g_pIconSets;
    g_pIconSets = nullptr;
}

CStyledMenuIcons::CStyledMenuIcons() = default;

CStyledMenuIcons::~CStyledMenuIcons() {
    GuardOperation(1467, [&] {
        SetResourceName(nullptr);
        m_ids.RemoveAll();
        m_imageList.DeleteImageList();
    });
}

int CStyledMenuIcons::FindImage(UINT nID) {
    int index = -1;
    GuardOperation(1474, [&] {
        for (INT_PTR i = m_ids.GetSize() - 1; i >= 0; i--) {
            if (m_ids[i] == nID) {
                index = (int)i * 3;
                return;
            }
        }
    });
    return index;
}

BOOL CStyledMenuIcons::RefreshImages() {
    BOOL ok = FALSE;
    GuardOperation(1477, [&] {
        if (m_lpszResource == nullptr || m_imageList.GetSafeHandle() == nullptr) return;
        int cx = 0, cy = 0;
        if (!m_imageList.GetIconSize(&cx, &cy)) return;
        if (LoadBitmapResource(cx, cy, m_lpszResource, m_hModule)) ok = RebuildImages();
    });
    return ok;
}

BOOL CStyledMenuIcons::LoadBitmapImages(HBITMAP hBitmap, int cx, int cy, const UINT* pIDs, COLORREF crMask) {
    BOOL ok = FALSE;
    GuardOperation(1479, [&] {
        m_nColorCount = 0;
        BITMAP bm = {};
        if (!::GetObjectA(hBitmap, sizeof(bm), &bm)) return;
        m_crMask = crMask;
        m_imageList.DeleteImageList();
        m_imageList.Create(cx, cy, kImageListFlags, 0, 10);
        ScopedBitmap copy(static_cast<HBITMAP>(::CopyImage(hBitmap, IMAGE_BITMAP, 0, 0, 0)));
        ImageList_AddMasked(m_imageList, copy, crMask);
        for (const UINT* p = pIDs; p && *p; p++) {
            m_ids.Add(*p);
            ok = TRUE;
        }
        RebuildImages();
    });
    return ok;
}

BOOL CStyledMenuIcons::LoadToolBarData(const WORD* pData, COLORREF crMask) {
    BOOL ok = FALSE;
    GuardOperation(1480, [&] {
        m_crMask = crMask;
        if (!LoadBitmapResource(pData[1], pData[2], MAKEINTRESOURCE(pData[0]), nullptr)) return;
        SetResourceName(MAKEINTRESOURCE(pData[0]));
        for (const WORD* p = pData + 3; *p; p++) {
            m_ids.Add(*p);
            ok = TRUE;
        }
        RebuildImages();
    });
    return ok;
}

BOOL CStyledMenuIcons::LoadToolBarResource(LPCTSTR lpszID, HINSTANCE hModule) {
    BOOL ok = FALSE;
    GuardOperation(1482, [&] {
        SetResourceName(lpszID);
        m_hModule = hModule;
        HINSTANCE hInst = hModule ? hModule : AfxGetResourceHandle();
        HRSRC hRes = ::FindResourceA(hInst, lpszID, MAKEINTRESOURCEA(241));
        if (hRes == nullptr && hInst != AfxGetResourceHandle()) {
            hInst = AfxGetResourceHandle();
            hRes = ::FindResourceA(hInst, lpszID, MAKEINTRESOURCEA(241));
        }
        if (hRes == nullptr) return;
        HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
        if (hGlobal == nullptr) return;
        const WORD* pData = (const WORD*)::LockResource(hGlobal);
        if (pData == nullptr) return;
        int cx = pData[1], cy = pData[2], count = pData[3];
        if (LoadBitmapResource(cx, cy, lpszID, hInst)) {
            m_ids.RemoveAll();
            for (int i = 0; i < count; i++) {
                if (pData[4 + i] != 0) {
                    m_ids.Add(pData[4 + i]);
                    ok = TRUE;
                }
            }
        }
        ::FreeResource(hGlobal);
        RebuildImages();
    });
    return ok;
}

BOOL CStyledMenuIcons::MatchBitmap(HBITMAP hBitmap, int cx, int cy, const UINT* pIDs) {
    BOOL match = FALSE;
    GuardOperation(1472, [&] {
        if (m_hSourceBitmap != hBitmap) return;
        CSize size = GetIconSize();
        if (size.cx != cx || size.cy != cy) return;
        for (INT_PTR i = 0; i < m_ids.GetSize(); i++)
            if (pIDs == nullptr || pIDs[i] == 0 || pIDs[i] != m_ids[i]) return;
        match = TRUE;
    });
    return match;
}

BOOL CStyledMenuIcons::MatchToolBarData(const WORD* pData, COLORREF crMask) {
    BOOL match = FALSE;
    GuardOperation(1473, [&] {
        if (m_crMask != crMask || pData[0] == 0 || !IsIntId(m_lpszResource) ||
            (WORD)(ULONG_PTR)m_lpszResource != pData[0])
            return;
        for (INT_PTR i = 0; i < m_ids.GetSize(); i++)
            if (pData[3 + i] == 0 || pData[3 + i] != m_ids[i]) return;
        match = TRUE;
    });
    return match;
}

BOOL CStyledMenuIcons::MatchResource(LPCTSTR lpszID, HINSTANCE hModule) {
    BOOL match = FALSE;
    GuardOperation(1471, [&] {
        if (hModule != m_hModule || m_lpszResource == nullptr) return;
        if (IsIntId(m_lpszResource))
            match = IsIntId(lpszID) && lpszID == m_lpszResource;
        else
            match = !IsIntId(lpszID) && std::strcmp(lpszID, m_lpszResource) == 0;
    });
    return match;
}

BOOL CStyledMenuIcons::LoadBitmapResource(int cx, int cy, LPCTSTR lpszID, HINSTANCE hModule) {
    BOOL ok = FALSE;
    GuardOperation(1478, [&] {
        m_nColorCount = 0;
        HBITMAP hBitmap = nullptr;
        if (IsIntId(lpszID)) {
            hBitmap = LoadBitmapWithColorCount((UINT)(ULONG_PTR)lpszID, hModule, &m_nColorCount);
        } else {
            hBitmap = ::LoadBitmapA(hModule ? hModule : AfxGetResourceHandle(), lpszID);
        }
        if (hBitmap == nullptr) return;
        ScopedBitmap owned(hBitmap);
        m_imageList.DeleteImageList();
        m_imageList.Create(cx, cy, kImageListFlags, 0, 10);
        ImageList_AddMasked(m_imageList, hBitmap, m_crMask);
        ok = TRUE;
    });
    return ok;
}

int CStyledMenuIcons::AddVariant(HICON hIcon, int nIndex, bool disabled) {
    ICONINFO ii = {};
    if (!::GetIconInfo(hIcon, &ii)) return -1;
    // The icon's bitmaps are copies of ours to free.
    ScopedBitmap color(ii.hbmColor), mask(ii.hbmMask);
    int result = -1;
    if (ii.hbmColor) {
        if (disabled) {
            int style = GetCurrentStyle();
            COLORREF tint;
            if (style == 2 || style == 3)
                tint = LightenColor(115, GetOldMenuBarColor());
            else if (style >= 8 && style <= 11)
                tint = LightenColor(115, GetBarBaseColor());
            else
                tint = LightenColor(115, GetMenuBarColor());
            ColorizeBitmap(ii.hbmColor, 110, tint);
        } else {
            ChangeBitmapPixels(
                ii.hbmColor, [](COLORREF p, const void*) { return DarkenColor(kMenuShadowDepth, p); }, nullptr);
        }
        if (nIndex < 0)
            result = ImageList_Add(m_imageList, ii.hbmColor, ii.hbmMask);
        else
            result = ImageList_Replace(m_imageList, nIndex, ii.hbmColor, ii.hbmMask) ? nIndex : -1;
    }
    return result;
}

int CStyledMenuIcons::AddShadowImage(HICON hIcon, int nIndex) {
    return AddVariant(hIcon, nIndex, false);
}
int CStyledMenuIcons::AddDisabledImage(HICON hIcon, int nIndex) {
    return AddVariant(hIcon, nIndex, true);
}

BOOL CStyledMenuIcons::RebuildImages() {
    BOOL ok = FALSE;
    GuardOperation(1485, [&] {
        int count = m_imageList.GetSafeHandle() ? m_imageList.GetImageCount() : 0;
        if (count <= 0) return;
        int cx = 0, cy = 0;
        m_imageList.GetIconSize(&cx, &cy);
        HIMAGELIST temp = m_imageList.Detach();
        m_imageList.Create(cx, cy, kImageListFlags, 0, 10);
        for (int i = 0; i < count; i++) {
            HICON icon = ImageList_ExtractIcon(nullptr, temp, i);
            if (icon == nullptr) continue;
            m_imageList.Add(icon);
            AddShadowImage(icon, -1);
            AddDisabledImage(icon, -1);
            ::DestroyIcon(icon);
        }
        ImageList_Destroy(temp);
        ok = TRUE;
    });
    return ok;
}

void CStyledMenuIcons::SetResourceName(LPCTSTR lpszID) {
    GuardOperation(1481, [&] {
        if (m_lpszResource && !IsIntId(m_lpszResource)) delete[] const_cast<char*>(m_lpszResource);
        m_lpszResource = nullptr;
        if (lpszID == nullptr || IsIntId(lpszID)) {
            m_lpszResource = lpszID;
        } else {
            size_t n = std::strlen(lpszID);
            char* copy = new char[n + 1];
            std::memcpy(copy, lpszID, n + 1);
            m_lpszResource = copy;
        }
    });
}

int CStyledMenuIcons::AddRef() {
    int n = 0;
    GuardOperation(1468, [&] { n = ++m_nRefs; });
    return n;
}

int CStyledMenuIcons::Release() {
    int n = 0;
    GuardOperation(1469, [&] {
        CStyledMenuIcons* self = this;
        if (self == nullptr) return;
        n = --m_nRefs;
        if (n <= 0) {
            if (g_pIconSets) {
                POSITION pos = g_pIconSets->Find(self);
                if (pos) g_pIconSets->RemoveAt(pos);
            }
            delete self;
        }
    });
    return n;
}

CSize CStyledMenuIcons::GetIconSize() {
    CSize size(0, 0);
    GuardOperation(1475, [&] {
        if (m_imageList.GetSafeHandle() == nullptr || m_imageList.GetImageCount() == 0) return;
        int cx = 0, cy = 0;
        if (m_imageList.GetIconSize(&cx, &cy)) size = CSize(cx, cy);
    });
    return size;
}

void CStyledMenuIcons::RefreshIconSets() {
    static DWORD s_last = 0;
    static bool s_ran = false;
    GuardOperation(1515, [&] {
        DWORD now = ::GetTickCount();
        if (s_ran && now - s_last < 2001) return;
        s_ran = true;
        s_last = now;
        if (g_pIconSets == nullptr) return;
        for (POSITION pos = g_pIconSets->GetHeadPosition(); pos;) g_pIconSets->GetNext(pos)->RefreshImages();
    });
}

CStyledMenuIcons* CStyledMenuIcons::FindOrCreateToolBarSet(UINT nID, HINSTANCE hModule, COLORREF crMask) {
    CStyledMenuIcons* pFound = nullptr;
    GuardOperation(1554, [&] {
        LPCTSTR id = MAKEINTRESOURCE(nID & 0xFFFF);
        if (g_pIconSets) {
            for (POSITION pos = g_pIconSets->GetHeadPosition(); pos;) {
                CStyledMenuIcons* p = g_pIconSets->GetNext(pos);
                if (p->MatchResource(id, hModule)) {
                    pFound = p;
                    return;
                }
            }
        }
        CStyledMenuIcons* p = new CStyledMenuIcons;
        p->m_crMask = crMask;
        if (!p->LoadToolBarResource(id, hModule)) {
            delete p;
            return;
        }
        AddToList(p);
        pFound = p;
    });
    return pFound;
}

BOOL CStyledMenuBitmaps::RefreshImages() {
    BOOL ok = FALSE;
    GuardOperation(1487, [&] {
        for (INT_PTR i = 0; i < m_ids.GetSize() * 3; i += 3) {
            HICON icon = m_imageList.ExtractIcon((int)i);
            if (icon == nullptr) continue;
            AddShadowImage(icon, (int)i + 1);
            AddDisabledImage(icon, (int)i + 2);
            ::DestroyIcon(icon);
        }
        ok = TRUE;
    });
    return ok;
}

int CStyledMenuBitmaps::AddIcon(HICON hIcon, UINT nID) {
    int index = -1;
    GuardOperation(1488, [&] {
        ICONINFO ii = {};
        if (!::GetIconInfo(hIcon, &ii)) return;
        BITMAP bm = {};
        {
            ScopedBitmap color(ii.hbmColor), mask(ii.hbmMask);
            ::GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm);
        }
        int cx = bm.bmWidth, cy = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        if (m_imageList.GetSafeHandle() == nullptr) {
            m_imageList.Create(cx, cy, kImageListFlags, 0, 10);
        } else if (m_imageList.GetImageCount() > 0) {
            CSize size = GetIconSize();
            if (size.cx != cx || size.cy != cy) return;
        }
        for (INT_PTR i = 0; i < m_ids.GetSize(); i++) {
            if (m_ids[i] == nID) {
                int at = (int)i * 3;
                m_imageList.Replace(at, hIcon);
                AddShadowImage(hIcon, at + 1);
                AddDisabledImage(hIcon, at + 2);
                index = at;
                return;
            }
        }
        int at = m_imageList.Add(hIcon);
        if (at < 0) return;
        m_ids.Add(nID);
        m_bitmapIDs.Add(0);
        AddShadowImage(hIcon, -1);
        AddDisabledImage(hIcon, -1);
        index = at;
    });
    return index;
}

int CStyledMenuBitmaps::AddBitmapResource(UINT nID, UINT nBitmapID, HINSTANCE hModule) {
    int index = -1;
    GuardOperation(1486, [&] {
        int found = FindImage(nID);
        if (found >= 0) {
            index = found;
            return;
        }
        UINT colours = 0;
        HBITMAP hBitmap = LoadBitmapWithColorCount(nBitmapID & 0xFFFF, hModule, &colours);
        if (hBitmap == nullptr) return;
        ScopedBitmap owned(hBitmap);
        BITMAP bm = {};
        ::GetObjectA(hBitmap, sizeof(bm), &bm);
        if (m_imageList.GetSafeHandle() == nullptr)
            m_imageList.Create(bm.bmWidth, bm.bmHeight, kImageListFlags, 0, 10);
        CSize size = GetIconSize();
        if (m_imageList.GetImageCount() > 0 && (size.cx != bm.bmWidth || size.cy != bm.bmHeight)) return;
        int at = ImageList_AddMasked(m_imageList, hBitmap, m_crMask);
        owned.Reset();
        if (at < 0) return;
        m_ids.Add(nID);
        m_bitmapIDs.Add(nBitmapID);
        HICON icon = m_imageList.ExtractIcon(at);
        AddShadowImage(icon, -1);
        AddDisabledImage(icon, -1);
        ::DestroyIcon(icon);
        index = at;
    });
    return index;
}

CStyledMenuIconsHolder::CStyledMenuIconsHolder(CStyledMenuIcons* p) : m_p(p) {
    GuardOperation(1465, [&] {
        if (m_p) m_p->AddRef();
    });
}

CStyledMenuIconsHolder::~CStyledMenuIconsHolder() {
    GuardOperation(1466, [&] {
        if (m_p) m_p->Release();
    });
}
