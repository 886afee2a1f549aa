// Shared by the archive tests: small serial classes and byte helpers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Core.h"

typedef std::vector<BYTE> Bytes;

// Stores through a fresh archive on a memory file and returns the bytes.
Bytes StoreBytes(const std::function<void(CArchive&)>& fn);

// Loads through a fresh archive on a memory file holding the bytes.
void LoadBytes(const Bytes& bytes, const std::function<void(CArchive&)>& fn);

// Runs a load and returns the archive exception's cause, -1 when the load
// succeeded and -2 for any other exception.
int LoadCause(const Bytes& bytes, const std::function<void(CArchive&)>& fn);

Bytes Concat(std::initializer_list<Bytes> parts);
Bytes Text(const std::string& s);
Bytes Repeat(BYTE b, size_t n);

// Header record with four strings, a number, a string and a number.
class CProperty : public CObject {
    DECLARE_SERIAL(CProperty)
public:
    CString a, b, c, d, e;
    int n1 = 0, n2 = 0;
    void Serialize(CArchive& ar) override;
};

// Header record that keeps the schema it was read with.
class CText : public CObject {
    DECLARE_SERIAL(CText)
public:
    int n = 0;
    CString a, b, c;
    UINT schemaSeen = 0;
    void Serialize(CArchive& ar) override;
};

// Image stream: a decimal count line and raw bytes.
class IStreamObject : public CObject {
    DECLARE_SERIAL(IStreamObject)
public:
    std::string data;
    UINT schemaSeen = 0;
    void Serialize(CArchive& ar) override;
};

// A design object with one number, for the alias tests.
class ViewObject : public CObject {
    DECLARE_SERIAL(ViewObject)
public:
    int value = 0;
    void Serialize(CArchive& ar) override;
};

// Another class carrying the name the alias redirects.
class CRichChild : public CObject {
    DECLARE_SERIAL(CRichChild)
public:
    void Serialize(CArchive& ar) override;
};

// A class whose schema must match exactly.
class Fixed : public CObject {
    DECLARE_SERIAL(Fixed)
public:
    void Serialize(CArchive&) override {}
};
