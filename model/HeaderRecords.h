// The two small records that open every document file: a list of CProperty records, then a
// list of CText records. Reading a CText record sets the file version that every later record
// of the same file consults.
#pragma once

#include "framework/Core.h"

// The version of the document file being read; 507 at rest and for current files.
extern int g_fileVersion;
const int kCurrentFileVersion = 507;

class CText : public CObject {
    DECLARE_SERIAL(CText)
public:
    CText();
    CText(int number, const CString& first, const CString& second, const CString& third);
    void Serialize(CArchive& ar) override;

    CString m_first;
    CString m_second;
    CString m_third;
    int m_number = 0;
};

class CProperty : public CObject {
    DECLARE_SERIAL(CProperty)
public:
    CProperty();
    CProperty(const CString& itemName, const CString& name, const CString& value, int flag,
              const CString& fifth, const CString& choices, int kind);
    void Serialize(CArchive& ar) override;

    CString m_itemName;  // the old item the property belongs to ("Front Cover", "Artist" ...)
    CString m_name;      // "Angle", "Left", "Item Type" ...
    CString m_value;     // "180 degrees", "Image" ...
    int m_flag = 0;      // non-zero counts as set
    CString m_fifth;     // carried into the old-item conversion unchanged
    CString m_choices;   // "Yes|No|" ...
    int m_kind = 0;
};
