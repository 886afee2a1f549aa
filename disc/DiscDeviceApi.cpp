#include "disc/DiscDeviceApi.h"

#include "framework/Core.h"

namespace {
CDiscDeviceApi g_realDeviceApi;
CDiscDeviceApi* g_currentDeviceApi = nullptr;
}  // namespace

CDiscDeviceApi* CDiscDeviceApi::GetCurrent() {
    return g_currentDeviceApi ? g_currentDeviceApi : &g_realDeviceApi;
}

void CDiscDeviceApi::SetCurrent(CDiscDeviceApi* pApi) {
    g_currentDeviceApi = pApi;
}

bool CDiscDeviceApi::QueryVersion(DWORD* pPlatform, DWORD* pMajor, DWORD* pMinor) {
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return false;
    *pPlatform = info.dwPlatformId;
    *pMajor = info.dwMajorVersion;
    *pMinor = info.dwMinorVersion;
    return true;
}

UINT CDiscDeviceApi::QueryDriveType(LPCSTR pszRoot) {
    return GetDriveTypeA(pszRoot);
}

HANDLE CDiscDeviceApi::OpenDevice(LPCSTR pszName, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(pszName, access, share, nullptr, disposition, 0, nullptr);
}

BOOL CDiscDeviceApi::IoControl(HANDLE h, DWORD code, void* pIn, DWORD inSize, void* pOut, DWORD outSize,
                               DWORD* pReturned) {
    return ::DeviceIoControl(h, code, pIn, inSize, pOut, outSize, pReturned, nullptr);
}

BOOL CDiscDeviceApi::CloseDevice(HANDLE h) {
    return ::CloseHandle(h);
}

int CDiscDeviceApi::LoadAspi() {
    if (!m_hAspi) m_hAspi = LoadLibraryA("WNASPI32.DLL");
    if (!m_hAspi) return 1;
    m_pfnSupportInfo = reinterpret_cast<DWORD(__cdecl*)(void)>(
        reinterpret_cast<void*>(GetProcAddress(m_hAspi, "GetASPI32SupportInfo")));
    m_pfnSendCommand = reinterpret_cast<DWORD(__cdecl*)(void*)>(
        reinterpret_cast<void*>(GetProcAddress(m_hAspi, "SendASPI32Command")));
    if (!m_pfnSupportInfo || !m_pfnSendCommand) return 2;
    return 0;
}

DWORD CDiscDeviceApi::GetASPI32SupportInfo() {
    return m_pfnSupportInfo ? m_pfnSupportInfo() : 0;
}

DWORD CDiscDeviceApi::SendASPI32Command(void* pSrb) {
    return m_pfnSendCommand ? m_pfnSendCommand(pSrb) : 0;
}

DWORD CDiscDeviceApi::WaitForEvent(HANDLE hEvent, DWORD ms) {
    return WaitForSingleObject(hEvent, ms);
}

LONG CDiscDeviceApi::RegOpen(HKEY hKey, LPCSTR pszSubKey, HKEY* phResult) {
    return RegOpenKeyExA(hKey, pszSubKey, 0, KEY_READ, phResult);
}

LONG CDiscDeviceApi::RegEnum(HKEY hKey, DWORD index, LPSTR pszName, DWORD cchName) {
    return RegEnumKeyA(hKey, index, pszName, cchName);
}

LONG CDiscDeviceApi::RegQuery(HKEY hKey, LPCSTR pszValue, BYTE* pData, DWORD* pcbData) {
    return RegQueryValueExA(hKey, pszValue, nullptr, nullptr, pData, pcbData);
}

LONG CDiscDeviceApi::RegClose(HKEY hKey) {
    return ::RegCloseKey(hKey);
}

void CDiscDeviceApi::ShowPlainMessage(LPCSTR pszText) {
    AfxPlainMessageBox(pszText, MB_OK);
}
