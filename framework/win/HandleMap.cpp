#include "framework/win/HandleMap.h"

#include <vector>

CHandleMap::~CHandleMap() {
    DeleteTemp();
}

CObject* CHandleMap::FromHandle(HANDLE h) {
    if (h == nullptr) return nullptr;
    if (CObject* p = LookupPermanent(h)) return p;
    if (CObject* p = LookupTemporary(h)) return p;
    CObject* pTemp = m_pfnNew(h);
    if (pTemp != nullptr) m_temporary[h] = pTemp;
    return pTemp;
}

CObject* CHandleMap::LookupPermanent(HANDLE h) const {
    auto it = m_permanent.find(h);
    return it == m_permanent.end() ? nullptr : it->second;
}

CObject* CHandleMap::LookupTemporary(HANDLE h) const {
    auto it = m_temporary.find(h);
    return it == m_temporary.end() ? nullptr : it->second;
}

void CHandleMap::SetPermanent(HANDLE h, CObject* pObject) {
    if (h == nullptr) return;
    m_permanent[h] = pObject;
}

void CHandleMap::RemoveHandle(HANDLE h) {
    // Only the permanent entry goes. A temporary object of the same handle stays in its map
    // until DeleteTemp deletes it: dropping the entry here would lose the object for good, and
    // deleting it here could pull it from under a caller that still uses it.
    m_permanent.erase(h);
}

void CHandleMap::RemoveHandleOf(HANDLE h, const CObject* pObject) {
    if (LookupPermanent(h) == pObject) RemoveHandle(h);
}

void CHandleMap::DeleteTemp() {
    // Deleting may run code that makes new temporaries; take the set first.
    while (!m_temporary.empty()) {
        std::vector<CObject*> objects;
        objects.reserve(m_temporary.size());
        for (auto& kv : m_temporary) objects.push_back(kv.second);
        m_temporary.clear();
        for (CObject* p : objects) {
            m_pfnClear(p);
            delete p;
        }
    }
}

namespace {
thread_local AFX_THREAD_STATE* t_pThreadState = nullptr;
}

AFX_THREAD_STATE* AfxGetThreadState() {
    if (t_pThreadState == nullptr) t_pThreadState = new AFX_THREAD_STATE;
    return t_pThreadState;
}

void AfxDeleteTempMaps() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_nTempMapLock != 0) return;
    // Device contexts first: they may hold temporary GDI objects selected.
    if (pState->m_pmapHDC) pState->m_pmapHDC->DeleteTemp();
    if (pState->m_pmapHGDIOBJ) pState->m_pmapHGDIOBJ->DeleteTemp();
    if (pState->m_pmapHMENU) pState->m_pmapHMENU->DeleteTemp();
    if (pState->m_pmapHIMAGELIST) pState->m_pmapHIMAGELIST->DeleteTemp();
    if (pState->m_pmapHWND) pState->m_pmapHWND->DeleteTemp();
}

void AfxTermThreadState() {
    AFX_THREAD_STATE* pState = t_pThreadState;
    if (pState == nullptr) return;
    pState->m_nTempMapLock = 0;
    AfxDeleteTempMaps();
    if (pState->m_hHookOldCbtFilter != nullptr) ::UnhookWindowsHookEx(pState->m_hHookOldCbtFilter);
    delete pState->m_pmapHDC;
    delete pState->m_pmapHGDIOBJ;
    delete pState->m_pmapHMENU;
    delete pState->m_pmapHIMAGELIST;
    delete pState->m_pmapHWND;
    delete pState;
    t_pThreadState = nullptr;
}

void AfxLockTempMaps() {
    ++AfxGetThreadState()->m_nTempMapLock;
}

BOOL AfxUnlockTempMaps() {
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_nTempMapLock > 0 && --pState->m_nTempMapLock == 0) {
        AfxDeleteTempMaps();
        return TRUE;
    }
    return FALSE;
}
