// Lists the files of a folder (and optionally of every folder below it) that
// match a list of wildcard patterns such as "*.jpg;*.jpeg".
#pragma once

#include <functional>
#include <vector>

#include "framework/Core.h"

// Removes trailing '\' or '/' characters from a path (a path ending in white
// space is left as it is).
void StripTrailingSeparators(CString& path);

class CDirReader {
public:
    struct FileEntry {
        CString path;      // folder, '\', file name
        FILETIME created;  // the three times in local file time
        FILETIME accessed;
        FILETIME written;
        ULONGLONG size;
    };

    // Called for every file found while the caller's collect switch is set, before
    // the stop request is looked at (the image panel turns each into a record).
    typedef std::function<void(const CString& name, const CString& path, ULONGLONG size)> CollectFn;

    // The stop request and the collect switch belong to the caller, so that one
    // caller's flags never stop or fill another caller's scan; either may be null.
    explicit CDirReader(volatile const BYTE* pStopFlag = nullptr,
                        volatile const BYTE* pCollectFlag = nullptr);
    virtual ~CDirReader();

    // False when a listing of the root itself was stopped or the scan failed.
    bool ScanFolder(const CString& root, const CString& patternList);
    // Every file matching the list in every folder of the folder list; false when stopped.
    bool CollectFiles(const CString& patternList);
    bool ClearFileList();
    bool ClearDirList();

    bool m_recurse = false;
    CString m_root;
    std::vector<CString> m_patterns;
    std::vector<CString> m_folders;
    std::vector<FileEntry> m_files;
    bool m_rootUnderTempFiles = false;
    CollectFn m_onCollect;

private:
    bool FindFiles(const CString& folder, const CString& pattern);
    bool WalkSubfolders(const CString& folder);
    bool StopRequested() const { return m_pStop && *m_pStop; }
    bool Collecting() const { return m_pCollect && *m_pCollect; }

    volatile const BYTE* m_pStop;
    volatile const BYTE* m_pCollect;
};
