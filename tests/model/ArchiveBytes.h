// Writing records into bytes and reading them back through the real archive.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Core.h"

namespace kvtest {

typedef std::vector<unsigned char> Bytes;

inline Bytes StoreBytes(const std::function<void(CArchive&)>& write) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    const BYTE* data = file.GetData();
    return Bytes(data, data + static_cast<size_t>(file.GetLength()));
}

// Reads from a copy of the bytes; true when the reader returned normally, false when the
// archive threw (the exception's archive cause, if any, goes to *cause).
inline bool LoadBytes(const Bytes& bytes, const std::function<void(CArchive&)>& read, int* cause = nullptr) {
    Bytes copy(bytes);
    if (copy.empty()) copy.push_back(0), copy.pop_back();
    CMemFile file(copy.empty() ? nullptr : copy.data(), static_cast<UINT>(copy.size()), 0);
    try {
        CArchive ar(&file, CArchive::load);
        read(ar);
        ar.Close();
        return true;
    } catch (CArchiveException* e) {
        if (cause) *cause = e->m_cause;
        e->Delete();
    } catch (CException* e) {
        if (cause) *cause = -1;
        e->Delete();
    }
    return false;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The archive's single-byte string: length prefix, then the characters.
inline Bytes Str(const std::string& s) {
    Bytes out;
    if (s.size() < 255) {
        out.push_back(static_cast<unsigned char>(s.size()));
    } else {
        out.push_back(0xFF);
        out.push_back(static_cast<unsigned char>(s.size() & 0xFF));
        out.push_back(static_cast<unsigned char>(s.size() >> 8));
    }
    out.insert(out.end(), s.begin(), s.end());
    return out;
}

inline Bytes I32(int v) {
    unsigned int u = static_cast<unsigned int>(v);
    return Bytes{static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                 static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
}

inline Bytes W16(unsigned int v) {
    return Bytes{static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
}

inline Bytes Raw(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace kvtest
