// Icon sets shared by all owner-drawn menus: one image list per tool-bar or
// bitmap resource (or per size of single images), three entries per image:
// normal, shadow and disabled.
#pragma once

#include "framework/Win.h"

class CStyledMenuIcons : public CObject {
    DECLARE_DYNAMIC(CStyledMenuIcons)
public:
    CStyledMenuIcons();
    ~CStyledMenuIcons() override;

    virtual int FindImage(UINT nID);
    virtual BOOL RefreshImages();
    virtual BOOL LoadBitmapImages(HBITMAP hBitmap, int cx, int cy, const UINT* pIDs, COLORREF crMask);
    virtual BOOL LoadToolBarData(const WORD* pData, COLORREF crMask);
    virtual BOOL LoadToolBarResource(LPCTSTR lpszID, HINSTANCE hModule);
    virtual BOOL MatchBitmap(HBITMAP hBitmap, int cx, int cy, const UINT* pIDs);
    virtual BOOL MatchToolBarData(const WORD* pData, COLORREF crMask);
    virtual BOOL MatchResource(LPCTSTR lpszID, HINSTANCE hModule);
    virtual BOOL LoadBitmapResource(int cx, int cy, LPCTSTR lpszID, HINSTANCE hModule);
    virtual int AddShadowImage(HICON hIcon, int nIndex);
    virtual int AddDisabledImage(HICON hIcon, int nIndex);
    virtual BOOL RebuildImages();

    void SetResourceName(LPCTSTR lpszID);
    int AddRef();
    int Release();
    CSize GetIconSize();

    static void RefreshIconSets();
    static CStyledMenuIcons* FindOrCreateToolBarSet(UINT nID, HINSTANCE hModule, COLORREF crMask);
    // The library-wide list (null until the first set is listed).
    static CTypedPtrList<CPtrList, CStyledMenuIcons*>*& IconSetList();
    static void AddToList(CStyledMenuIcons* pSet);
    static void DeleteList();

    LPCTSTR m_lpszResource = nullptr;  // integer id or owned copy of a name
    HINSTANCE m_hModule = nullptr;
    HBITMAP m_hSourceBitmap = nullptr;
    UINT m_nColorCount = 0;
    COLORREF m_crMask = 0xFFFFFFFF;
    CImageList m_imageList;
    CUIntArray m_ids;
    int m_nRefs = 0;

protected:
    // Makes the shadow (darker) or disabled (grey tinted) variant of an icon
    // and puts it at nIndex (or appends it for -1).
    int AddVariant(HICON hIcon, int nIndex, bool disabled);
};

class CStyledMenuBitmaps : public CStyledMenuIcons {
    DECLARE_DYNAMIC(CStyledMenuBitmaps)
public:
    BOOL RefreshImages() override;
    // Adds an icon for a command (normal, shadow, disabled); the image index or -1.
    int AddIcon(HICON hIcon, UINT nID);
    // Adds a bitmap resource for a command; the image index or -1.
    int AddBitmapResource(UINT nID, UINT nBitmapID, HINSTANCE hModule);
    CUIntArray m_bitmapIDs;
};

// Holds one reference on a set while it lives.
class CStyledMenuIconsHolder {
public:
    explicit CStyledMenuIconsHolder(CStyledMenuIcons* p);
    ~CStyledMenuIconsHolder();
    CStyledMenuIconsHolder(const CStyledMenuIconsHolder&) = delete;
    CStyledMenuIconsHolder& operator=(const CStyledMenuIconsHolder&) = delete;
    CStyledMenuIcons* m_p;
};
