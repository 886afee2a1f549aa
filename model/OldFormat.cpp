// Files before version 300: the design is a flat list of properties grouped into items, followed
// by the images as raw byte blocks. The list is brought up to the last old layout and turned into
// objects. Nothing is written in this layout.
#include "model/OldFormat.h"

#include "model/KorvanelleDocument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace {

void ThrowBadIndex() {
    AfxThrowArchiveException(CArchiveException::badIndex);
}

void ReadLineOrFail(CArchive& ar, CString& line) {
    if (!ar.ReadString(line)) AfxThrowArchiveException(CArchiveException::endOfFile);
}

// A decimal length in inches to thousandths, truncated toward zero.
int ReadLength(const CString& value) {
    float inches = 0;
    if (std::sscanf(value, "%f", &inches) != 1) return 0;
    volatile float thousandths = inches * 1000.0f;
    float t = thousandths;
    if (!(t > -2147483520.0f && t < 2147483520.0f)) return 0;  // out of range or not a number
    return static_cast<int>(t);
}

// "r,g,b" (each modulo 256) as a colour value, red in the low byte.
COLORREF ReadColor(const CString& value) {
    int first = value.Find(',');
    int second = first >= 0 ? value.Find(',', first + 1) : -1;
    int r = std::atoi(first >= 0 ? value.Left(first) : value);
    int g = first >= 0
                ? std::atoi(second >= 0 ? value.Mid(first + 1, second - first - 1) : value.Mid(first + 1))
                : 0;
    int b = second >= 0 ? std::atoi(value.Mid(second + 1)) : 0;
    return RGB(r & 0xFF, g & 0xFF, b & 0xFF);
}

struct OldItem {
    const std::vector<OldPropertyRecord>& list;
    size_t first;
    // Record k of the item; an item that runs past the end of the list is a damaged file.
    const OldPropertyRecord& Record(size_t k) const {
        if (k >= list.size() - first) ThrowBadIndex();
        return list[first + k];
    }
    const CString& Value(size_t k) const { return Record(k).value; }
};

// The old corner alignment turned into a text alignment for the object's angle.
CString ConvertAlignment(const CString& old, const CString& angle) {
    static const struct {
        const char* old;
        const char* byAngle[4];  // 0, 90, 180, 270 degrees; null: unchanged
    } kTable[] = {
        {"Top Left", {"Left", "Right", "Right", "Left"}},
        {"Top", {"Center", "Right", "Center", "Left"}},
        {"Top Right", {"Right", "Right", "Left", "Left"}},
        {"Left", {nullptr, "Center", "Right", "Center"}},
        {"Right", {nullptr, "Center", "Left", "Center"}},
        {"Bottom Left", {"Left", "Left", "Right", "Right"}},
        {"Bottom", {"Center", "Left", "Center", "Right"}},
        {"Bottom Right", {"Right", "Left", "Left", "Right"}},
    };
    int column = -1;
    if (angle == "0 degrees")
        column = 0;
    else if (angle == "90 degrees")
        column = 1;
    else if (angle == "180 degrees")
        column = 2;
    else if (angle == "270 degrees")
        column = 3;
    if (column < 0) return old;
    for (const auto& row : kTable)
        if (old == row.old) return row.byAngle[column] ? CString(row.byAngle[column]) : old;
    return old;
}

// Every character gets the item's font and colour and no underline.
void ApplyUniformStyle(ViewObject* o, const LOGFONTA& font, COLORREF color) {
    o->FreeCharStyles();
    o->charUnderlines.RemoveAll();
    for (int i = 0; i < o->GetCharCount(); ++i) {
        LOGFONTA* f = ViewObject::NewFontRecord();
        *f = font;
        o->charFonts.Add(f);
        o->charColors.Add(new COLORREF(color));
        o->charUnderlines.Add(0);
    }
}

// A variant's value as the count it holds.
long long ReadVariantCount(CArchive& ar) {
    WORD vt = 0;
    ar >> vt;
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
            return 0;
        case VT_I1: {
            char v;
            ar >> v;
            return v;
        }
        case VT_UI1: {
            BYTE v;
            ar >> v;
            return v;
        }
        case VT_I2: {
            short v;
            ar >> v;
            return v;
        }
        case VT_UI2: {
            WORD v;
            ar >> v;
            return v;
        }
        case VT_BOOL: {
            short v;
            ar >> v;
            return v ? 1 : 0;
        }
        case VT_I4:
        case VT_INT:
        case VT_ERROR: {
            LONG v;
            ar >> v;
            return v;
        }
        case VT_UI4:
        case VT_UINT: {
            DWORD v;
            ar >> v;
            return v;
        }
        case VT_I8: {
            LONGLONG v;
            ar >> v;
            return v;
        }
        case VT_UI8: {
            ULONGLONG v;
            ar >> v;
            return v > 0x7FFFFFFFull ? 0x7FFFFFFFll : static_cast<long long>(v);
        }
        case VT_R4: {
            float v;
            ar >> v;
            return (v > 0 && v < 2147483520.0f) ? static_cast<long long>(v) : 0;
        }
        case VT_R8: {
            double v;
            ar >> v;
            return (v > 0 && v < 2147483647.0) ? static_cast<long long>(v) : 0;
        }
        case VT_BSTR: {
            // The byte length (terminator included), then the 16-bit characters.
            DWORD bytes = 0;
            ar >> bytes;
            if (bytes == 0) return 0;
            if (bytes > ar.GetBytesLeft() || bytes > 4096)
                AfxThrowArchiveException(CArchiveException::endOfFile);
            std::vector<WCHAR> text(bytes / 2 + 1, 0);
            ar.EnsureRead(text.data(), bytes);
            text[bytes / 2] = 0;
            return std::wcstol(text.data(), nullptr, 10);
        }
        default:
            // No other form of a count is known.
            AfxThrowArchiveException(CArchiveException::badSchema);
    }
}

}  // namespace

void ReadOldImageBytes(CArchive& ar, OldImageBlocks& blocks, OldImageSizes& sizes) {
    CString unused, countLine;
    ReadLineOrFail(ar, unused);
    ReadLineOrFail(ar, countLine);
    int count = std::atoi(countLine);
    if (count < 0) count = 0;
    if (static_cast<ULONGLONG>(count) > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<BYTE> block(static_cast<size_t>(count));
    if (count > 0) ar.EnsureRead(block.data(), static_cast<UINT>(count));
    blocks.push_back(std::move(block));
    sizes.push_back(count);
}

void ReadOldVariantImage(CArchive& ar, OldImageBlocks& blocks, OldImageSizes& sizes) {
    long long count = ReadVariantCount(ar);
    if (count <= 0) return;
    if (static_cast<ULONGLONG>(count) > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<BYTE> block(static_cast<size_t>(count));
    ar.EnsureRead(block.data(), static_cast<UINT>(count));
    blocks.push_back(std::move(block));
    sizes.push_back(static_cast<int>(count));
}

void KorvanelleDocument::ReadPre300Document(CArchive& ar) {
    const int version = g_fileVersion;
    OldDocumentParts parts;
    OldImageBlocks& blocks = parts.blocks;
    OldImageSizes& sizes = parts.sizes;

    // Every block takes at least two bytes of the file: a count larger than that allows is damage.
    const int imageCount = albumInfo.m_oldImageCount;
    if (imageCount < 0 || static_cast<ULONGLONG>(imageCount) * 2 > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    for (int i = 0; i < imageCount; ++i) {
        if (version == 1)
            ReadOldVariantImage(ar, blocks, sizes);
        else
            ReadOldImageBytes(ar, blocks, sizes);
    }

    std::vector<OldTextRecord>& texts = parts.texts;
    for (INT_PTR i = 0; i < textRecords.GetSize(); ++i) {
        const CText* t = textRecords[i];
        if (!t) continue;
        OldTextRecord r;
        r.number = t->m_number;
        r.first = t->m_first;
        r.second = t->m_second;
        r.third = t->m_third;
        texts.push_back(r);
    }
    ConvertOldAlbumText(texts);

    std::vector<OldPropertyRecord>& properties = parts.properties;
    bool rememberedBackground = false;
    const INT_PTR count = propertyRecords.GetSize();
    for (INT_PTR i = 0; i < count; ++i) {
        const CProperty* p = propertyRecords[i];
        if (!p) continue;
        OldPropertyRecord r;
        r.itemName = p->m_itemName;
        r.name = p->m_name;
        r.value = p->m_value;
        r.flag = p->m_flag != 0;
        r.fifth = p->m_fifth;
        r.choices = p->m_choices;
        r.kind = p->m_kind;

        if (version < 3 && r.name == "Angle") {
            // The record nine places earlier names the side; a list too short for it is damaged.
            if (i < 9 || !propertyRecords[i - 9]) ThrowBadIndex();
            const CString& owner = propertyRecords[i - 9]->m_value;
            if (owner != "Disc 1" && owner != "Disc 2") {
                r.choices = "0 degrees|90 degrees|180 degrees|270 degrees|";
                r.flag = true;
                if (r.value == "180 degrees") r.value = "270 degrees";
            }
        }
        if (version < 4 && r.name == "Wrap Tracks" && !r.flag) {
            r.flag = true;
            r.value = "No";
        }
        if (version < 5 && (r.name == "Left" || r.name == "Top" || r.name == "Width" || r.name == "Height") &&
            !r.itemName.IsEmpty() && std::strchr("ATYGI", r.itemName.GetAt(0)))
            r.flag = false;
        if (version < 5 && r.name == "Item Type" && r.value == "Image") {
            if (r.choices == "Background") {
                rememberedBackground = true;
            } else {
                ++albumInfo.m_oldImageNumber;
                r.choices.Format("%d", albumInfo.m_oldImageNumber);
            }
        }
        bool aspect = version < 5 && r.name == "Aspect Ratio";
        if (aspect) {
            r.name = "Lock Aspect Ratio";
            r.choices = "Yes|No|";
            r.value = r.value == "Locked" ? "Yes" : "No";
            r.flag = true;
        }
        if (version < 6 &&
            (r.name == "Left" || r.name == "Top" || r.name == "Inner Diameter" ||
             r.name == "Outer Diameter" || r.name == "Orientation" || r.name == "Folded Cover"))
            r.flag = false;
        properties.push_back(r);
        if (aspect) {
            OldPropertyRecord background = r;
            background.name = "Set as Background";
            background.value = rememberedBackground ? "Disabled On" : "No";
            rememberedBackground = false;
            background.flag = true;
            background.kind = 1;
            properties.push_back(background);
            OldPropertyRecord front = r;
            front.name = "Bring to Front";
            front.value = "No";
            front.flag = true;
            front.kind = 0;
            properties.push_back(front);
        }
    }

    ConvertOldItems(parts);
}

namespace {

// Turns the items of the old property list into objects, one small converter per item type. The
// objects made so far are owned by the conversion until it hands them over.
class OldItemConverter {
public:
    OldItemConverter(const OldDocumentParts& parts, CAlbumInfo& albumInfo)
        : m_parts(parts), m_albumInfo(albumInfo) {}
    ~OldItemConverter() {
        for (ViewObject* o : m_made) DeleteViewObject(o);
    }
    OldItemConverter(const OldItemConverter&) = delete;
    OldItemConverter& operator=(const OldItemConverter&) = delete;

    // Converts every item; throws on a damaged list (the objects made so far are then freed).
    void Run() {
        const std::vector<OldPropertyRecord>& properties = m_parts.properties;
        size_t at = 0;
        while (at < properties.size()) {
            OldItem item{properties, at};
            at += Convert(item) + 1;
        }
        AddInsideBoundary();
    }

    // Hands the objects over, in their order.
    void MoveTo(CViewObjectArray& objects) {
        for (ViewObject* o : m_made) {
            o->LimitRecordValues();
            objects.Add(o);
        }
        m_made.clear();
    }

private:
    typedef size_t (OldItemConverter::*Converter)(const OldItem& item);

    // The item's converter by its type record; returns the count of records after that one.
    size_t Convert(const OldItem& item) {
        static const struct {
            const char* type;
            Converter convert;
        } kConverters[] = {
            {"Page", &OldItemConverter::ConvertPage},   {"Boundary", &OldItemConverter::ConvertBoundary},
            {"Cover", &OldItemConverter::ConvertCover}, {"Image", &OldItemConverter::ConvertImage},
            {"Text", &OldItemConverter::ConvertText},   {"Track", &OldItemConverter::ConvertText},
        };
        const CString itemType = item.Record(0).value;
        for (const auto& row : kConverters)
            if (itemType == row.type) return (this->*row.convert)(item);
        // An unknown item: its type record's kind counts the records that follow it.
        const int kind = item.Record(0).kind;
        if (kind < 0 || static_cast<size_t>(kind) >= m_parts.properties.size() - item.first) ThrowBadIndex();
        return static_cast<size_t>(kind);
    }

    // A new object of the type, owned by the conversion.
    ViewObject* Make(int type, const CString& name) {
        ViewObject* o = new ViewObject;
        m_made.push_back(o);
        o->Reset(type);
        o->name = name;
        return o;
    }

    size_t ConvertPage(const OldItem& item) {
        ViewObject* o = Make(kObjectPage, item.Record(0).itemName);
        o->side = std::atoi(item.Value(1));
        o->left = ReadLength(item.Value(3));
        o->top = ReadLength(item.Value(4));
        o->width = ReadLength(item.Value(5));
        o->height = ReadLength(item.Value(6));
        return 6;
    }

    size_t ConvertBoundary(const OldItem& item) {
        const CString itemName = item.Record(0).itemName;
        ViewObject* o = Make(kObjectBoundary, itemName);
        o->side = std::atoi(item.Value(1));
        o->sideName = item.Value(2);
        o->charColors.Add(new COLORREF(ReadColor(item.Value(3))));
        o->left = ReadLength(item.Value(4));
        o->top = ReadLength(item.Value(5));
        o->width = ReadLength(item.Value(6));
        o->height = ReadLength(item.Value(7));
        if (itemName == "Front Cover (Inside)") m_insideBoundary = true;
        return 7;
    }

    size_t ConvertCover(const OldItem& item) {
        const CString itemName = item.Record(0).itemName;
        const int side = std::atoi(item.Value(1));
        if (itemName == "Front Cover" || itemName == "Back Cover") {
            const bool front = itemName == "Front Cover";
            ViewObject* o = Make(front ? kObjectFront : kObjectJewel, itemName);
            o->sideName = itemName;
            o->side = side;
            o->left = ReadLength(item.Value(2));
            o->top = ReadLength(item.Value(3));
            o->width = ReadLength(item.Value(4));
            o->height = ReadLength(item.Value(5));
            if (front)
                o->bFolded = item.Value(6) == "Yes" ? 1 : 0;
            else
                o->spineWidth = ReadLength(item.Value(6));
            o->charColors.Add(new COLORREF(ReadColor(item.Value(8))));
            if (front && !m_frontCover) m_frontCover = o;
            return 8;
        }
        // A disc; a cover of another name off the disc page has no object to become, and its
        // records are passed over as a disc's.
        item.Record(9);
        if (side == 1) {
            ViewObject* o = Make(kObjectDisc, itemName);
            o->sideName = itemName;
            o->side = side;
            o->left = ReadLength(item.Value(2));
            o->top = ReadLength(item.Value(3));
            o->height = ReadLength(item.Value(4));
            o->width = ReadLength(item.Value(5));
            o->charColors.Add(new COLORREF(ReadColor(item.Value(7))));
            const int margin = ReadLength(item.Value(9));
            o->textMargin = (margin == 0 || margin == 50 || margin == 100 || margin == 150) ? margin : 50;
        }
        return 9;
    }

    size_t ConvertImage(const OldItem& item) {
        item.Record(10);
        const OldPropertyRecord& typeRecord = item.Record(0);
        const bool background = typeRecord.choices == "Background";
        const int number = background ? -1 : std::atoi(typeRecord.choices);
        const int block = std::atoi(item.Value(3));
        const bool usable =
            block >= 0 && static_cast<size_t>(block) < m_parts.blocks.size() && m_parts.sizes[block] > 0;
        if (!usable) return 10;
        // Owned here until placed: an image that cannot be read is freed, also when reading throws.
        std::unique_ptr<ViewObject, void (*)(ViewObject*)> image(new ViewObject, &DeleteViewObject);
        ViewObject* o = image.get();
        o->Reset(kObjectImage);
        o->name = typeRecord.itemName;
        o->bBackground = background ? 1 : 0;
        o->side = std::atoi(item.Value(1));
        o->sideName = item.Value(2);
        if (background && item.Record(2).choices == "Front Cover (Inside)") o->bBackground = 2;
        o->left = ReadLength(item.Value(4));
        o->top = ReadLength(item.Value(5));
        o->width = ReadLength(item.Value(6));
        o->height = ReadLength(item.Value(7));
        if (item.Value(8) == "Yes") o->bAspectRatio = 1;
        // Bytes that cannot be taken or decoded drop the image.
        if (!o->image.SetBytes(m_parts.blocks[block].data(), static_cast<ULONG>(m_parts.sizes[block])) ||
            !o->EnsureImageLoaded())
            return 10;
        // Backgrounds go before every image of their side; others before the first image of their
        // side with a higher number.
        size_t position = m_made.size();
        for (size_t k = 0; k < m_made.size(); ++k) {
            ViewObject* other = m_made[k];
            if (!other->IsImage() || other->sideName != o->sideName) continue;
            if (background || m_imageNumbers[other] > number) {
                position = k;
                break;
            }
        }
        m_made.insert(m_made.begin() + static_cast<std::ptrdiff_t>(position), o);
        image.release();
        m_imageNumbers[o] = number;
        return 10;
    }

    // "face,weight,italic" as a font record of that face, weight and slant.
    static void ReadFontValue(const CString& fontValue, LOGFONTA& font) {
        const int c1 = fontValue.Find(',');
        const int c2 = c1 >= 0 ? fontValue.Find(',', c1 + 1) : -1;
        const CString face = c1 >= 0 ? fontValue.Left(c1) : fontValue;
        std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = 0;
        if (c1 >= 0)
            font.lfWeight = std::atoi(c2 >= 0 ? fontValue.Mid(c1 + 1, c2 - c1 - 1) : fontValue.Mid(c1 + 1));
        if (c2 >= 0) font.lfItalic = static_cast<BYTE>(std::atoi(fontValue.Mid(c2 + 1)));
    }

    size_t ConvertText(const OldItem& item) {
        const bool track = item.Record(0).value == "Track";
        const size_t records = track ? 14 : 12;
        item.Record(records);
        const CString itemName = item.Record(0).itemName;
        ViewObject* o = Make(track ? kObjectTrack : kObjectText, itemName);
        o->side = std::atoi(item.Value(1));
        const COLORREF color = ReadColor(item.Value(2));
        o->sideName = item.Value(3);
        LOGFONTA font = {};
        font.lfCharSet = DEFAULT_CHARSET;
        ReadFontValue(item.Value(4), font);
        o->left = ReadLength(item.Value(5));
        o->top = ReadLength(item.Value(6));
        o->width = ReadLength(item.Value(7));
        o->height = ReadLength(item.Value(8));
        o->alignment = item.Value(9);
        const CString& heightValue = item.Value(10);
        const int quote = heightValue.Find('`');
        font.lfHeight = quote >= 0 ? std::atoi(heightValue.Left(quote)) : 400;
        if (track)
            ConvertTrackFields(item, o);
        else
            ConvertTextFields(item, o);
        o->alignment = ConvertAlignment(o->alignment, o->angle);
        ApplyUniformStyle(o, font, color);
        return records;
    }

    // A text's wrap, angle and characters (from the album text of its base name).
    void ConvertTextFields(const OldItem& item, ViewObject* o) {
        o->wrapStyle = item.Value(11) == "No" ? "Single-Line" : "Multi-Line";
        o->angle = item.Value(12);
        const CString base = BaseNameOf(o->name);
        CString text;
        for (const OldTextRecord& entry : m_parts.texts) {
            if (entry.first == base) {
                text = entry.third;
                break;
            }
        }
        o->chars.RemoveAll();
        for (int k = 0; k < text.GetLength(); ++k) {
            const char ch = text.GetAt(k);
            if (ch == '\r' && k + 1 < text.GetLength() && text.GetAt(k + 1) == '\n') ++k;
            o->chars.Add(CString(ch));
        }
        o->chars.Add(CString(static_cast<char>(0x08)));
    }

    // A track list's number and time columns, layout and wrap (the old switches read by side),
    // and its text from the album information.
    void ConvertTrackFields(const OldItem& item, ViewObject* o) {
        const bool numbers = item.Value(11) == "Yes";
        const bool times = item.Value(12) == "Yes";
        o->trackNumbers = numbers && times ? "Track Numbers && Times"
                          : numbers        ? "Track Numbers"
                          : times          ? "Track Times"
                                           : "Text Only";
        o->textLayout = item.Value(13);
        o->wrapStyle = item.Value(14);
        const CString layoutSwitch = item.Value(13);
        if (o->side == 1) {
            if (layoutSwitch == "Yes")
                o->textLayout = "Top && Bottom";
            else if (layoutSwitch == "No")
                o->textLayout = "Bottom";
        } else {
            if (layoutSwitch == "Yes") {
                o->textLayout = "Table Format";
                o->wrapStyle = "Multi-Line";
            } else if (layoutSwitch == "No") {
                o->textLayout = "1 Column";
            }
        }
        if (o->wrapStyle == "Yes")
            o->wrapStyle = "Track-Wrap";
        else if (o->wrapStyle == "No")
            o->wrapStyle = "Multi-Line";
        o->angle = "0 degrees";
        o->SetText(m_albumInfo.GetField(o->name));
    }

    // A design without the inside boundary of the front cover gets one from its first front cover.
    void AddInsideBoundary() {
        if (m_insideBoundary || !m_frontCover) return;
        ViewObject* inside = new ViewObject;
        m_made.push_back(inside);
        inside->CopyFrom(m_frontCover, false, false, false);
        inside->type = kObjectBoundary;
        inside->name = "Front Cover (Inside)";
        if (m_frontCover->IsFoldedFrontCover())
            inside->width = m_frontCover->width / 2;
        else
            inside->left = m_frontCover->left - m_frontCover->width;
    }

    const OldDocumentParts& m_parts;
    CAlbumInfo& m_albumInfo;
    std::vector<ViewObject*> m_made;
    std::map<const ViewObject*, int> m_imageNumbers;
    bool m_insideBoundary = false;
    ViewObject* m_frontCover = nullptr;
};

}  // namespace

void KorvanelleDocument::ConvertOldItems(const OldDocumentParts& parts) {
    OldItemConverter converter(parts, albumInfo);
    converter.Run();
    converter.MoveTo(oldObjects);
}
