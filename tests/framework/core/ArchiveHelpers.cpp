#include "ArchiveHelpers.h"

#include <cstdlib>

IMPLEMENT_SERIAL(CProperty, CObject, VERSIONABLE_SCHEMA | 507)
IMPLEMENT_SERIAL(CText, CObject, VERSIONABLE_SCHEMA | 507)
IMPLEMENT_SERIAL(IStreamObject, CObject, VERSIONABLE_SCHEMA | 507)
IMPLEMENT_SERIAL(ViewObject, CObject, VERSIONABLE_SCHEMA | 507)
IMPLEMENT_SERIAL(CRichChild, CObject, VERSIONABLE_SCHEMA | 507)
IMPLEMENT_SERIAL(Fixed, CObject, 3)

Bytes StoreBytes(const std::function<void(CArchive&)>& fn) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    return Bytes(file.GetData(), file.GetData() + file.GetLength());
}

void LoadBytes(const Bytes& bytes, const std::function<void(CArchive&)>& fn) {
    Bytes copy(bytes);
    CMemFile file(copy.empty() ? nullptr : copy.data(), (UINT)copy.size());
    CArchive ar(&file, CArchive::load);
    fn(ar);
    ar.Close();
}

int LoadCause(const Bytes& bytes, const std::function<void(CArchive&)>& fn) {
    try {
        LoadBytes(bytes, fn);
        return -1;
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    } catch (CException* e) {
        e->Delete();
        return -2;
    } catch (...) {
        return -2;
    }
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes Repeat(BYTE b, size_t n) {
    return Bytes(n, b);
}

void CProperty::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << a << b << c << d << n1 << e << n2;
    else
        ar >> a >> b >> c >> d >> n1 >> e >> n2;
}

void CText::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << n << a << b << c;
    } else {
        schemaSeen = ar.GetObjectSchema();
        ar >> n >> a >> b >> c;
    }
}

void IStreamObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CString count;
        count.Format("%d", (int)data.size());
        ar.WriteString(count);
        ar.WriteString("\n");
        ar.Write(data.data(), (UINT)data.size());
    } else {
        schemaSeen = ar.GetObjectSchema();
        CString line;
        ar.ReadString(line);
        int n = std::atoi(line);
        if (n > 0) {
            data.assign((size_t)n, '\0');
            if (ar.Read(&data[0], (UINT)n) != (UINT)n) AfxThrowArchiveException(CArchiveException::endOfFile);
        }
    }
}

void ViewObject::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}

void CRichChild::Serialize(CArchive&) {}
