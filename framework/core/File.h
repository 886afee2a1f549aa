// CFile: a binary file on disk through a Win32 handle; CMemFile: a file in memory.
#pragma once

#include <string>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"
#include "framework/core/Exceptions.h"

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // accepted and ignored: every file is binary
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    static const HANDLE hFileNull;

    CFile();
    explicit CFile(HANDLE hFile);                 // wraps a handle it does not close
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);  // throws CFileException when it cannot open
    ~CFile() override;                            // closes a file it opened, errors ignored

    // False (with the cause in *pError when given) when the file cannot be opened.
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);

    // Fewer bytes than asked at the end of the file; throws CFileException on errors.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes all bytes or throws CFileException (diskFull, accessDenied, ...).
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual ULONGLONG GetPosition() const;
    virtual void Flush();
    virtual void Close();  // throws CFileException when closing fails
    virtual void Abort();  // closes and ignores errors

    virtual CString GetFilePath() const { return m_strFileName; }
    virtual CString GetFileName() const;  // the last path component
    bool IsOpen() const { return m_hFile != hFileNull; }

    static void Remove(LPCSTR lpszFileName);                     // throws on failure
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);  // throws on failure

    HANDLE m_hFile;

protected:
    bool m_bCloseOnDelete;
    CString m_strFileName;
};

// A file held in one growable block of memory (malloc/realloc/free). Used for
// the clipboard and for tests.
class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Works on a caller's block of nBufferSize bytes, all of which count as file
    // content; with nGrowBytes 0 the block never grows (writing past it throws
    // diskFull), otherwise it is taken over and grown with realloc, so it must
    // then come from malloc.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Gives up the block (the caller frees it with free() when it was grown or
    // allocated here) and leaves the file empty. GetLength() before Detach gives
    // the content size.
    BYTE* Detach();

    // The content without copying; valid until the next write or Detach.
    const BYTE* GetData() const { return m_lpBuffer; }

    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetPosition() const override;
    void Flush() override;
    void Close() override;
    void Abort() override;
    CString GetFilePath() const override { return CString(); }

private:
    void GrowFile(SIZE_T dwNewLen);

    UINT m_nGrowBytes;
    SIZE_T m_nPosition;
    SIZE_T m_nBufferSize;
    SIZE_T m_nFileSize;
    BYTE* m_lpBuffer;
    bool m_bAutoDelete;
};

// Text as the program's narrow strings hold it (names of files above all): in the ANSI code page,
// as the system's narrow functions take it; a text that the code page cannot hold (a name in
// another script) in UTF-8. A string that reads as UTF-8 of letters beyond ASCII is taken for
// UTF-8 (a text is never held in the code page in a form that reads so), so every text comes back
// as it was, and a part cut out of one (a folder, a file name) keeps its form. The system is
// handed such a text in UTF-16; CFile and the whole-file writer take file names in this form.
CString AfxNarrowOf(LPCWSTR text);
// A text the program holds (above), in UTF-16.
std::wstring AfxWideOf(LPCSTR text);
// A UTF-16 text as the system hands it to narrow programs: best-fit characters, "?" for the rest.
CString AfxSystemAnsiOf(LPCWSTR text);
// The long form of a path the program holds, in UTF-16: every name as the user gave it, where an
// older entry went through the short names the file system keeps. The path itself, widened, when
// the file system does not know it.
std::wstring AfxLongPathOf(LPCSTR path);
// The full path (the current folder's for a relative one) in its long form, as the program holds
// it; the path unchanged when the system cannot make it full.
CString AfxFullPathOf(LPCSTR path);
