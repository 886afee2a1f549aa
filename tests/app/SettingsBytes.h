// Builds settings files byte by byte, in the archive encodings: little-endian numbers, strings
// with their length prefix and no terminator.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "framework/Core.h"
#include "TestSupport.h"

struct SettingsBytes {
    std::vector<unsigned char> bytes;

    SettingsBytes& Byte(unsigned v) {
        bytes.push_back((unsigned char)v);
        return *this;
    }
    SettingsBytes& Word(unsigned v) { return Byte(v & 0xFF).Byte((v >> 8) & 0xFF); }
    SettingsBytes& Dword(unsigned long v) { return Word(v & 0xFFFF).Word((v >> 16) & 0xFFFF); }
    SettingsBytes& Point(long x, long y) { return Dword((unsigned long)x).Dword((unsigned long)y); }
    SettingsBytes& Rect(long l, long t, long r, long b) { return Point(l, t).Point(r, b); }
    SettingsBytes& String(const std::string& s) {
        if (s.size() < 255) {
            Byte((unsigned)s.size());
        } else {
            Byte(0xFF).Word((unsigned)s.size());
        }
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    // Cuts the data to its first n bytes.
    SettingsBytes& Cut(size_t n) {
        bytes.resize(n);
        return *this;
    }
    size_t Size() const { return bytes.size(); }

    bool WriteTo(const CString& path) const { return kvtest::WriteFileBytes(path.GetString(), bytes); }
};

inline CString FolderFile(const CString& folder, LPCSTR name) {
    return folder + "\\" + name;
}

inline bool FileExists(const CString& path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Keeps a file's content while a test replaces or removes it, and puts it back afterwards.
class FileKeeper {
public:
    explicit FileKeeper(const CString& path) : m_path(path), m_existed(FileExists(path)) {
        if (m_existed) m_bytes = kvtest::ReadFileBytes(path.GetString());
        DeleteFileA(path);
    }
    ~FileKeeper() {
        DeleteFileA(m_path);
        if (m_existed) kvtest::WriteFileBytes(m_path.GetString(), m_bytes);
    }
    FileKeeper(const FileKeeper&) = delete;
    FileKeeper& operator=(const FileKeeper&) = delete;

private:
    CString m_path;
    bool m_existed;
    std::vector<unsigned char> m_bytes;
};
