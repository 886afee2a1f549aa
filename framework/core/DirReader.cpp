#include "framework/core/DirReader.h"

#include <cstring>

namespace {

const char kTempFiles[] = "Temporary Internet Files";

// Closes a find handle on every way out of a listing.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : m_h(h) {}
    ~FindHandle() {
        if (m_h != INVALID_HANDLE_VALUE) FindClose(m_h);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

std::vector<CString> SplitPatterns(const CString& list) {
    std::vector<CString> out;
    int start = 0;
    for (;;) {
        int semi = list.Find(';', start);
        if (semi < 0) {
            out.push_back(list.Mid(start));
            break;
        }
        out.push_back(list.Mid(start, semi - start));
        start = semi + 1;
    }
    return out;
}

}  // namespace

void StripTrailingSeparators(CString& path) {
    for (;;) {
        CString copy = path;
        copy.TrimRight();
        int pos = copy.ReverseFind('\\');
        if (pos < 0) pos = copy.ReverseFind('/');
        if (pos < 0) return;
        if (pos != path.GetLength() - 1) return;
        path = copy.Left(pos);
    }
}

CDirReader::CDirReader(volatile const BYTE* pStopFlag, volatile const BYTE* pCollectFlag)
    : m_pStop(pStopFlag), m_pCollect(pCollectFlag) {}

CDirReader::~CDirReader() {
    ClearFileList();
    ClearDirList();
    m_patterns.clear();
}

bool CDirReader::ClearFileList() {
    m_files.clear();
    return true;
}

bool CDirReader::ClearDirList() {
    m_folders.clear();
    return true;
}

bool CDirReader::ScanFolder(const CString& root, const CString& patternList) {
    bool scanned = false;
    GuardOperation(7231, [&] {
        m_root = root;
        m_rootUnderTempFiles = m_root.Find(kTempFiles) >= 0;
        StripTrailingSeparators(m_root);
        if (!patternList.IsEmpty()) m_patterns = SplitPatterns(patternList);
        for (size_t i = 0; i < m_patterns.size(); ++i) {
            if (!FindFiles(m_root, m_patterns[i])) return;
        }
        if (m_recurse) WalkSubfolders(m_root);
        m_folders.push_back(m_root);
        scanned = true;
    });
    return scanned;
}

bool CDirReader::FindFiles(const CString& folder, const CString& pattern) {
    CString f = folder;
    StripTrailingSeparators(f);
    f += '\\';
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA(f + pattern, &fd));
    if (!find.Valid()) return true;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        CString path = f + fd.cFileName;
        ULONGLONG size = ((ULONGLONG)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
        if (Collecting() && m_onCollect) m_onCollect(CString(fd.cFileName), path, size);
        if (StopRequested()) return false;
        FileEntry entry;
        entry.path = path;
        FileTimeToLocalFileTime(&fd.ftCreationTime, &entry.created);
        FileTimeToLocalFileTime(&fd.ftLastAccessTime, &entry.accessed);
        FileTimeToLocalFileTime(&fd.ftLastWriteTime, &entry.written);
        entry.size = size;
        m_files.push_back(entry);
    } while (FindNextFileA(find.Get(), &fd));
    return true;
}

bool CDirReader::WalkSubfolders(const CString& folder) {
    if (Collecting() && !m_rootUnderTempFiles && folder.Find(kTempFiles) >= 0) return true;
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA(folder + "\\*.*", &fd));
    if (!find.Valid()) return true;
    do {
        bool isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // Junctions and symbolic links are not followed: one pointing at its own
        // parent would make the walk endless.
        bool isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isDir && !isLink && strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0) {
            CString sub = folder + "\\" + fd.cFileName;
            // The browser cache is left out of the image panel's scan, its own files included.
            if (Collecting() && !m_rootUnderTempFiles && sub.Find(kTempFiles) >= 0) {
                if (StopRequested()) return false;
                continue;
            }
            for (size_t i = 0; i < m_patterns.size(); ++i) {
                if (!FindFiles(sub, m_patterns[i])) return false;
            }
            WalkSubfolders(sub);
            m_folders.push_back(sub);
        }
        if (StopRequested()) return false;
    } while (FindNextFileA(find.Get(), &fd));
    return true;
}

bool CDirReader::CollectFiles(const CString& patternList) {
    bool collected = false;
    GuardOperation(7232, [&] {
        std::vector<CString> patterns = SplitPatterns(patternList);
        // The list may grow while we go (it does not here), so walk by index.
        for (size_t i = 0; i < m_folders.size(); ++i) {
            if (m_folders[i].IsEmpty()) continue;
            for (size_t j = 0; j < patterns.size(); ++j) {
                if (!FindFiles(m_folders[i], patterns[j])) return;
            }
        }
        collected = true;
    });
    return collected;
}
