// Writing a file whole, through a temporary file that replaces the target when complete.
#include "framework/core/WholeFileWrite.h"

#include <windows.h>

namespace {

// The system's error code of a failed file operation.
DWORD CauseOf(const CException* e) {
    if (!e->IsKindOf(RUNTIME_CLASS(CFileException))) return ERROR_WRITE_FAULT;
    const CFileException* failure = static_cast<const CFileException*>(e);
    if (failure->m_lOsError > 0) return static_cast<DWORD>(failure->m_lOsError);
    return failure->m_cause == CFileException::diskFull ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
}

// The written file flushed to the disk and closed; false (the cause in GetLastError()) when
// either fails.
bool FlushAndClose(CFile& file) {
    try {
        file.Flush();
        file.Close();
        return true;
    } catch (CException* e) {
        ::SetLastError(CauseOf(e));
        e->Delete();
        file.Abort();
        return false;
    }
}

// A file another writer made, flushed to the disk through a handle of our own.
bool FlushNamedFile(const CString& name) {
    CFile file;
    return file.Open(name, CFile::modeWrite) && FlushAndClose(file);
}

// The temporary file (and the failure's cause, kept for the caller) removed.
void RemoveTemporary(const CString& temporary) {
    const DWORD cause = ::GetLastError();
    ::DeleteFileW(AfxWideOf(temporary).c_str());
    ::SetLastError(cause);
}

// The complete temporary file put in the target's place. Write-through: the call returns only
// once the move is on the disk, so a power cut just after a save finds the new file or the old
// one, never neither.
bool Replace(const CString& temporary, const CString& path) {
    return ::MoveFileExW(AfxWideOf(temporary).c_str(), AfxWideOf(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// A temporary file left by a write that was killed midway (it may have been made read-only).
void RemoveStale(const CString& temporary) {
    const std::wstring name = AfxWideOf(temporary);
    if (::GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(name.c_str());
}

}  // namespace

CString WholeFileTemporaryOf(const CString& path) {
    return path + ".new";
}

bool WriteFileWhole(const CString& path, const CString& temporary,
                    const std::function<bool(CFile& file)>& write) {
    RemoveStale(temporary);
    CFile file;
    if (!file.Open(temporary, CFile::modeCreate | CFile::modeWrite)) return false;
    bool written = false;
    try {
        ::SetLastError(0);
        written = write(file);
    } catch (CFileException* e) {
        // A write that failed on the way (a full disk, say) is a failed write like any other:
        // told by the answer and the cause, not by an exception the caller would report again.
        const DWORD cause = CauseOf(e);
        e->Delete();
        file.Abort();
        ::SetLastError(cause);
        RemoveTemporary(temporary);
        return false;
    } catch (...) {
        file.Abort();
        RemoveTemporary(temporary);
        throw;
    }
    if (!written) file.Abort();
    written = written && FlushAndClose(file) && Replace(temporary, path);
    if (!written) RemoveTemporary(temporary);
    return written;
}

bool WriteFileWhole(const CString& path, const std::function<bool(CFile& file)>& write) {
    return WriteFileWhole(path, WholeFileTemporaryOf(path), write);
}

bool WriteNamedFileWhole(const CString& path, const CString& temporary,
                         const std::function<bool(const CString& temporary)>& write) {
    RemoveStale(temporary);
    bool written = false;
    try {
        ::SetLastError(0);
        written = write(temporary);
    } catch (...) {
        RemoveTemporary(temporary);
        throw;
    }
    written = written && FlushNamedFile(temporary) && Replace(temporary, path);
    if (!written) RemoveTemporary(temporary);
    return written;
}
