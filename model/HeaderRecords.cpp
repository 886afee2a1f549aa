#include "model/HeaderRecords.h"

int g_fileVersion = kCurrentFileVersion;

IMPLEMENT_SERIAL(CText, CObject, 507 | VERSIONABLE_SCHEMA)
IMPLEMENT_SERIAL(CProperty, CObject, 507 | VERSIONABLE_SCHEMA)

CText::CText() = default;

CText::CText(int number, const CString& first, const CString& second, const CString& third)
    : m_first(first), m_second(second), m_third(third), m_number(number) {}

void CText::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_number << m_first << m_second << m_third;
        return;
    }
    // The schema stored with this class in the file is the file's version.
    UINT schema = ar.GetObjectSchema();
    if (schema != static_cast<UINT>(-1)) g_fileVersion = static_cast<int>(schema);
    ar >> m_number >> m_first >> m_second >> m_third;
}

CProperty::CProperty() = default;

CProperty::CProperty(const CString& itemName, const CString& name, const CString& value, int flag,
                     const CString& fifth, const CString& choices, int kind)
    : m_itemName(itemName),
      m_name(name),
      m_value(value),
      m_flag(flag),
      m_fifth(fifth),
      m_choices(choices),
      m_kind(kind) {}

void CProperty::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_name << m_choices << m_fifth << m_value << m_kind << m_itemName << m_flag;
    } else {
        ar >> m_name >> m_choices >> m_fifth >> m_value >> m_kind >> m_itemName >> m_flag;
    }
}
