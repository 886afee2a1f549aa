// The open registry keys of the application's profile, kept from first use to the application's
// end. Each open or create of a key is a round trip to the system (under Wine, to its server),
// and start-up reads some 350 values: opening the path for each made up a tenth of start-up's
// requests.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>

class CProfileKeys {
public:
    CProfileKeys() = default;
    ~CProfileKeys() { Reset(); }
    CProfileKeys(const CProfileKeys&) = delete;
    CProfileKeys& operator=(const CProfileKeys&) = delete;

    // Runs `use` on the key of HKEY_CURRENT_USER\Software\<company>\<application>\<section>,
    // created when missing, and returns what it returns. A key deleted behind the cache's back
    // (another program, a test, the user in the registry editor) is opened again and `use` runs
    // once more, so nothing written is lost into a deleted key. ERROR_FILE_NOT_FOUND when the key
    // cannot be opened.
    LONG WithSection(LPCSTR company, LPCSTR application, LPCSTR section, const std::function<LONG(HKEY)>& use);
    // The section's key was deleted: its handle goes.
    void Forget(LPCSTR section);
    // Closes every key (the profile's place changed).
    void Reset();

private:
    HKEY SectionKey(LPCSTR company, LPCSTR application, LPCSTR section);
    void ResetLocked();

    std::mutex m_mutex;  // profile calls may come from worker threads
    HKEY m_hAppKey = nullptr;
    std::map<std::string, HKEY> m_sections;  // by lower-case name: the registry ignores case
};
