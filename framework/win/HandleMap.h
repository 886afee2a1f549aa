// Maps from Windows handles to the framework objects that wrap them, one set
// per thread. Permanent entries belong to objects that own or attached their
// handle; temporary entries are made on demand by FromHandle for handles that
// have no object and are deleted at idle time (or when the map is unlocked).
#pragma once

#include <unordered_map>

#include "framework/Core.h"

#include <commctrl.h>

class CWinThread;
class CWnd;

class CHandleMap {
public:
    typedef CObject* (*PFNNEW)(HANDLE h);        // makes a temporary object for a handle
    typedef void (*PFNCLEAR)(CObject* pObject);  // clears the handles of a temporary before deletion

    CHandleMap(PFNNEW pfnNew, PFNCLEAR pfnClear) : m_pfnNew(pfnNew), m_pfnClear(pfnClear) {}
    ~CHandleMap();

    // The permanent object, else a temporary one (made when missing); null for a null handle.
    CObject* FromHandle(HANDLE h);
    CObject* LookupPermanent(HANDLE h) const;
    CObject* LookupTemporary(HANDLE h) const;
    void SetPermanent(HANDLE h, CObject* pObject);
    // The permanent entry; a temporary object of the handle is left to DeleteTemp.
    void RemoveHandle(HANDLE h);
    // Removes h when pObject is its permanent object (an object giving up its handle).
    void RemoveHandleOf(HANDLE h, const CObject* pObject);
    void DeleteTemp();  // deletes every temporary object
    size_t TemporaryCount() const { return m_temporary.size(); }

private:
    PFNNEW m_pfnNew;
    PFNCLEAR m_pfnClear;
    std::unordered_map<HANDLE, CObject*> m_permanent;
    std::unordered_map<HANDLE, CObject*> m_temporary;
};

// What the framework keeps per thread.
struct AFX_THREAD_STATE {
    CWinThread* m_pCurrentWinThread = nullptr;
    CHandleMap* m_pmapHWND = nullptr;
    CHandleMap* m_pmapHMENU = nullptr;
    CHandleMap* m_pmapHDC = nullptr;
    CHandleMap* m_pmapHGDIOBJ = nullptr;
    CHandleMap* m_pmapHIMAGELIST = nullptr;
    int m_nTempMapLock = 0;

    MSG m_msgCur{};          // the message being pumped by the thread's loop
    MSG m_lastSentMsg{};     // the message being handled by a framework window
    POINT m_ptCursorLast{};  // for telling real mouse moves from repeats
    UINT m_nMsgLast = 0;

    CWnd* m_pWndInit = nullptr;  // the window whose creation is being hooked
    HHOOK m_hHookOldCbtFilter = nullptr;

    HWND m_hTrackingWindow = nullptr;  // the window whose menu is open
    HMENU m_hTrackingMenu = nullptr;   // the popup most recently opened for it

    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;
};

AFX_THREAD_STATE* AfxGetThreadState();
// Deletes the calling thread's temporary objects unless they are locked.
void AfxDeleteTempMaps();
// While locked (a count), temporary objects survive idle time.
void AfxLockTempMaps();
// Frees the calling thread's maps and state (at the end of a framework thread).
void AfxTermThreadState();
BOOL AfxUnlockTempMaps();
