// The system calls through which CDiscTools reaches the CD drives. The real
// calls are made by CDiscDeviceApi itself; a test derives from it and answers
// with recorded replies instead.
#pragma once

#include <windows.h>

class CDiscDeviceApi {
public:
    virtual ~CDiscDeviceApi() = default;

    // Platform id (1 = 9x, 2 = NT) and version of the running system; false on failure.
    virtual bool QueryVersion(DWORD* pPlatform, DWORD* pMajor, DWORD* pMinor);
    virtual UINT QueryDriveType(LPCSTR pszRoot);

    virtual HANDLE OpenDevice(LPCSTR pszName, DWORD access, DWORD share, DWORD disposition);
    virtual BOOL IoControl(HANDLE h, DWORD code, void* pIn, DWORD inSize, void* pOut, DWORD outSize,
                           DWORD* pReturned);
    virtual BOOL CloseDevice(HANDLE h);

    // ASPI: loads the library and takes its two entry points. 0 when all is
    // well, 1 when the library is missing, 2 when an entry point is missing.
    virtual int LoadAspi();
    virtual DWORD GetASPI32SupportInfo();
    virtual DWORD SendASPI32Command(void* pSrb);
    // Waits for the event that an ASPI request signals when it is done.
    virtual DWORD WaitForEvent(HANDLE hEvent, DWORD ms);

    virtual LONG RegOpen(HKEY hKey, LPCSTR pszSubKey, HKEY* phResult);
    virtual LONG RegEnum(HKEY hKey, DWORD index, LPSTR pszName, DWORD cchName);
    virtual LONG RegQuery(HKEY hKey, LPCSTR pszValue, BYTE* pData, DWORD* pcbData);
    virtual LONG RegClose(HKEY hKey);

    // The plain message box of the few messages that do not use the themed one.
    virtual void ShowPlainMessage(LPCSTR pszText);

    // The calls that every new CDiscTools uses (the real ones unless a test set others).
    static CDiscDeviceApi* GetCurrent();
    // Null restores the real calls.
    static void SetCurrent(CDiscDeviceApi* pApi);

private:
    HMODULE m_hAspi = nullptr;
    DWORD(__cdecl* m_pfnSupportInfo)(void) = nullptr;
    DWORD(__cdecl* m_pfnSendCommand)(void*) = nullptr;
};
