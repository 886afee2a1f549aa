// The profile's registry keys, opened once (see ProfileKeys.h).
#include "framework/win/ProfileKeys.h"

#include <cctype>

namespace {
std::string Lower(LPCSTR s) {
    std::string out(s ? s : "");
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

HKEY CreateKey(HKEY parent, LPCSTR name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, &key,
                          &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}
}  // namespace

HKEY CProfileKeys::SectionKey(LPCSTR company, LPCSTR application, LPCSTR section) {
    if (!m_hAppKey) {
        HKEY software = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &software) != ERROR_SUCCESS)
            return nullptr;
        HKEY companyKey = CreateKey(software, company);
        ::RegCloseKey(software);
        if (!companyKey) return nullptr;
        m_hAppKey = CreateKey(companyKey, application);
        ::RegCloseKey(companyKey);
        if (!m_hAppKey) return nullptr;
    }
    const std::string name = Lower(section);
    auto found = m_sections.find(name);
    if (found != m_sections.end()) return found->second;
    HKEY key = CreateKey(m_hAppKey, section);
    if (key) m_sections[name] = key;
    return key;
}

LONG CProfileKeys::WithSection(LPCSTR company, LPCSTR application, LPCSTR section,
                               const std::function<LONG(HKEY)>& use) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int attempt = 0; attempt < 2; ++attempt) {
        HKEY key = SectionKey(company, application, section);
        if (!key) return ERROR_FILE_NOT_FOUND;
        const LONG result = use(key);
        if (result != ERROR_KEY_DELETED) return result;
        ResetLocked();
    }
    return ERROR_KEY_DELETED;
}

void CProfileKeys::Forget(LPCSTR section) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_sections.find(Lower(section));
    if (found == m_sections.end()) return;
    ::RegCloseKey(found->second);
    m_sections.erase(found);
}

void CProfileKeys::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ResetLocked();
}

void CProfileKeys::ResetLocked() {
    for (auto& section : m_sections) ::RegCloseKey(section.second);
    m_sections.clear();
    if (m_hAppKey) ::RegCloseKey(m_hAppKey);
    m_hAppKey = nullptr;
}
