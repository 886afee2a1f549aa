// CArchive: the binary serialisation stream of the framework, on a CFile.
//
// Byte layout (little-endian throughout):
//  - numbers: BYTE/char/bool 1 byte, WORD/short 2, int/LONG/DWORD/UINT/float 4,
//    double/LONGLONG/ULONGLONG 8;
//  - string: length below 255 as one byte; below 0xFFFE as 0xFF and a word;
//    otherwise 0xFF, 0xFFFF and a dword; then the characters, no terminator.
//    On reading, 0xFF followed by the word 0xFFFE announces a string of 16-bit
//    characters whose own length prefix follows; it is converted to the ANSI
//    code page. The writer never produces it;
//  - count: a word below 0xFFFF, otherwise 0xFFFF and a dword;
//  - object reference: 0x0000 for null; 0xFFFF, schema word, name length word,
//    name for an object of a class new to the archive; 0x8000|class index for
//    an object of a known class (0x7FFF and 0x80000000|index when the index is
//    0x7FFF or more); the object's index for an object already written (0x7FFF
//    and the dword index when large). Classes and objects share one index
//    table that starts at 1.
//
// Every read failure throws a CArchiveException (endOfFile, badClass,
// badSchema, badIndex), a CFileException or a CMemoryException, all as
// pointers to be released with Delete().
#pragma once

#include <unordered_map>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    // The buffer is 4096 bytes unless told otherwise; lpBuf is ignored (the
    // archive owns its buffer).
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Flushes a storing archive that was not closed (errors ignored) unless
    // bNoFlushOnDelete was given. Never closes the file.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return (m_nMode & load) != 0; }
    bool IsStoring() const { return (m_nMode & load) == 0; }
    CFile* GetFile() const { return m_pFile; }

    // Writes out the buffer (storing) and detaches from the file; the file stays open.
    void Close();
    // Detaches without writing; never throws.
    void Abort();
    // Storing: writes the buffer to the file. Loading: drops read-ahead bytes and
    // moves the file back to the archive's position.
    void Flush();

    // Raw bytes. Read returns how many it got (fewer at the end of the data,
    // never throws for that); Write throws when the file does.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Reads exactly nCount bytes or throws endOfFile.
    void EnsureRead(void* lpBuf, UINT nCount);

    // Text lines. WriteString writes the characters only (no terminator, no line
    // end). ReadString reads up to a line feed, which is consumed and not kept,
    // and drops one carriage return before it; false when the data had ended
    // before any character.
    void WriteString(LPCSTR lpsz);
    BOOL ReadString(CString& rString);

    // Counts of array elements. ReadCount throws endOfFile for a count larger
    // than the bytes left (every element takes at least one byte), so a damaged
    // file cannot ask for a huge allocation.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    // Object references (see the layout above). ReadObject creates the object by
    // its class record and runs its Serialize with the stored schema available
    // through GetObjectSchema; when pClassRefRequested is given, an object of
    // another class throws badClass. An object whose record fails to read is
    // deleted before the exception passes on.
    void WriteObject(const CObject* pOb);
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    // Class and object records read so far. A ReadObject after which it has grown made a new
    // object (the caller's to free); one that only named an earlier object leaves it as it was.
    size_t GetLoadedCount() const { return m_loadArray.size(); }

    // Class records on their own.
    void WriteClass(const CRuntimeClass* pClassRef);
    const CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                                   DWORD* pObTag = nullptr);
    void SerializeClass(const CRuntimeClass* pClassRef);

    // The schema stored with the class of the object being read; valid once per
    // object (the next call gives (UINT)-1), and (UINT)-1 outside ReadObject.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Bytes left to read: unread buffer plus the rest of the file.
    ULONGLONG GetBytesLeft() const;

    // Class-name alias for reading: a class record named lpszName creates
    // objects of pClass (see CRuntimeClass::RegisterAlias).
    static void RegisterClassAlias(LPCSTR lpszName, const CRuntimeClass* pClass) {
        CRuntimeClass::RegisterAlias(lpszName, pClass);
    }

    // Numbers.
    CArchive& operator<<(BYTE by);
    CArchive& operator<<(char ch);
    CArchive& operator<<(bool b);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(short w);
    CArchive& operator<<(int i);
    CArchive& operator<<(UINT u);
    CArchive& operator<<(LONG l);
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(LONGLONG ll);
    CArchive& operator<<(ULONGLONG ull);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(bool& b);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(short& w);
    CArchive& operator>>(int& i);
    CArchive& operator>>(UINT& u);
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(LONGLONG& ll);
    CArchive& operator>>(ULONGLONG& ull);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);

    // Strings with their length prefix.
    CArchive& operator<<(const CString& s);
    CArchive& operator<<(LPCSTR psz);
    CArchive& operator>>(CString& s);

    // Object references.
    CArchive& operator<<(const CObject* pOb) {
        WriteObject(pOb);
        return *this;
    }
    CArchive& operator>>(CObject*& pOb) {
        pOb = ReadObject(nullptr);
        return *this;
    }
    CArchive& operator>>(const CObject*& pOb) {
        pOb = ReadObject(nullptr);
        return *this;
    }

    // The document being read or written, for records that need it (set by the
    // document layer; the archive itself does not use it).
    CObject* m_pDocument = nullptr;

private:
    void WriteBytes(const void* p, UINT n);
    void ReadBytes(void* p, UINT n);  // all n bytes or endOfFile
    void FillBuffer(UINT nBytesNeeded);
    void ThrowIfNotLoading() const;
    void ThrowIfNotStoring() const;
    void CheckLength(ULONGLONG nBytes) const;
    DWORD NextIndex();

    struct LoadEntry {
        const CRuntimeClass* pClass;  // set for class entries
        CObject* pObject;             // set for object entries
        UINT nSchema;                 // class entries: the stored schema
    };

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_buf;
    UINT m_nBufCur = 0;  // loading: next unread byte; storing: bytes held
    UINT m_nBufMax = 0;  // loading: bytes held
    UINT m_nObjectSchema = (UINT)-1;
    DWORD m_nMapCount = 1;
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<LoadEntry> m_loadArray;
};

// Win32 geometry as raw little-endian ints: SIZE and POINT 8 bytes, RECT 16
// bytes (left, top, right, bottom); a value cut short throws endOfFile.
CArchive& operator<<(CArchive& ar, SIZE size);
CArchive& operator<<(CArchive& ar, POINT point);
CArchive& operator<<(CArchive& ar, const RECT& rect);
CArchive& operator>>(CArchive& ar, SIZE& size);
CArchive& operator>>(CArchive& ar, POINT& point);
CArchive& operator>>(CArchive& ar, RECT& rect);

// Runs fn(ar) over an archive of the open file (CArchive::load or CArchive::store) and closes
// the archive; when anything is thrown, from fn or from the closing flush, the archive is
// aborted instead (a framework exception is released). True when fn returned and the archive
// closed. The file itself stays open.
template <class Fn>
bool SerializeOrAbort(CFile* file, UINT mode, Fn&& fn) {
    CArchive ar(file, mode, 4096);
    try {
        fn(ar);
        ar.Close();
        return true;
    } catch (CException* e) {
        if (e) e->Delete();
    } catch (...) {}
    ar.Abort();
    return false;
}
