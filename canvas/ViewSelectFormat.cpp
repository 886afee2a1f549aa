// The formatting commands on the selection: fonts, sizes, styles and colours of characters
// (split into runs at the selection and merged again), and the font state shown on the
// formatting bar.
#include <cstring>
#include <utility>
#include <vector>

#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewSelect.h"

namespace {

bool IsSeparatorAt(const ViewObject& o, int i) {
    return i >= 0 && i < o.GetCharCount() && o.chars[i] == CString(kTrackFieldEnd, 1);
}

}  // namespace

// A size text (in points, with decimals) as tenths of a point: cut to an integer, raised to the
// next multiple of 5, clamped to 2.5 .. 500 points. Text that is no number, or a negative one,
// gives the smallest size, 2.5 points.
int ParseFontSizeText(const CString& text) {
    const char* p = text.GetString();
    while (*p == ' ') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    long long tenths = 0;
    bool digits = false;
    while (*p >= '0' && *p <= '9') {
        tenths = tenths * 10 + (*p++ - '0');
        digits = true;
        if (tenths > 100000000) break;
    }
    tenths *= 10;
    if (*p == '.' && p[1] >= '0' && p[1] <= '9') {
        tenths += p[1] - '0';
        digits = true;
    }
    if (!digits || negative) tenths = 0;
    if (tenths % 5 != 0) tenths += 5 - tenths % 5;
    if (tenths < 25) tenths = 25;
    if (tenths > 5000) tenths = 5000;
    return static_cast<int>(tenths);
}

// ---- runs -----------------------------------------------------------------------------------------

COLORREF* ViewSelect::GetRunObject(ViewObject* object, int index) const {
    if (!object || object->IsPage(-1) || object->IsImage()) return nullptr;
    if (index < 0 || index >= object->charColors.GetSize()) return nullptr;
    for (int i = index; i >= 0; --i)
        if (object->charColors[i]) return object->charColors[i];
    return nullptr;
}

LOGFONTA* ViewSelect::GetRunFont(ViewObject* object, int index) const {
    if (!object || object->IsPage(-1) || object->IsImage()) return nullptr;
    if (index < 0 || index >= object->charFonts.GetSize()) return nullptr;
    for (int i = index; i >= 0; --i)
        if (object->charFonts[i]) return object->charFonts[i];
    return nullptr;
}

// The runs of the selection: [a, b] for each stretch of selected characters, a closing field
// separator right after a run belonging to it.
static std::vector<std::pair<int, int>> SelectedRuns(const ViewObject& o, const TextEditState& st) {
    std::vector<std::pair<int, int>> runs;
    const int n = o.GetCharCount();
    int i = 0;
    while (i < n) {
        if (!TextEditing::IsCharSelected(o, st, i)) {
            ++i;
            continue;
        }
        const int a = i;
        int u = a;
        while (u < n && TextEditing::IsCharSelected(o, st, u)) ++u;
        const int b = IsSeparatorAt(o, u) ? u : u - 1;
        runs.emplace_back(a, b);
        i = u + 1;
    }
    return runs;
}

template <class Change>
void ViewSelect::ChangeFonts(Change change) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return;
    while (o->charFonts.GetSize() < o->chars.GetSize()) o->charFonts.Add(nullptr);
    const int n = static_cast<int>(o->charFonts.GetSize());
    if (m_selStart == m_selEnd) {
        for (int i = 0; i < n; ++i)
            if (o->charFonts[i]) change(*o->charFonts[i]);
    } else {
        for (const auto& run : SelectedRuns(*o, *this)) {
            const int a = run.first, b = run.second < n ? run.second : n - 1;
            if (b + 1 < n && !o->charFonts[b + 1])
                if (LOGFONTA* f = GetRunFont(o, b)) o->charFonts[b + 1] = ViewObject::CopyFontRecord(f);
            if (!o->charFonts[a])
                if (LOGFONTA* f = GetRunFont(o, a)) o->charFonts[a] = ViewObject::CopyFontRecord(f);
            for (int i = a; i <= b; ++i)
                if (o->charFonts[i]) change(*o->charFonts[i]);
        }
    }
    // The drawing caches its style choice in the escapement; a cached choice on one record must
    // not keep two records of the same font from merging, so every record chooses afresh.
    for (int i = 0; i < n; ++i)
        if (o->charFonts[i]) o->charFonts[i]->lfEscapement = 0;
    o->PruneCharFonts();
    o->needsLayout = 1;
}

void ViewSelect::SetFontName(const CString& faceName) {
    GuardOperation(976, [&] {
        ChangeFonts([&](LOGFONTA& f) {
            std::memset(f.lfFaceName, 0, sizeof(f.lfFaceName));
            std::strncpy(f.lfFaceName, faceName.GetString(), sizeof(f.lfFaceName) - 1);
            f.lfEscapement = 0;
        });
    });
}

void ViewSelect::SetFontSize(const CString& sizeText) {
    GuardOperation(977, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        if (sizeText == "AutoFit") {
            m_view->SetAutoFit(o, 1);
            o->needsLayout = 1;
            return;
        }
        m_view->SetAutoFit(o, 0);
        const int height = ParseFontSizeText(sizeText);
        ChangeFonts([&](LOGFONTA& f) { f.lfHeight = height; });
    });
}

void ViewSelect::OnBold() {
    GuardOperation(3307, [&] {
        ViewHost* host = View::GetHost();
        const LONG weight = host && host->GetFormatBarButtonImage(4) == 0 ? 700 : 400;
        ChangeFonts([&](LOGFONTA& f) {
            f.lfWeight = weight;
            f.lfEscapement = 0;
        });
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::OnItalic() {
    GuardOperation(3308, [&] {
        ViewHost* host = View::GetHost();
        const BYTE italic = host && host->GetFormatBarButtonImage(5) == 1 ? 1 : 0;
        ChangeFonts([&](LOGFONTA& f) {
            f.lfItalic = italic;
            f.lfEscapement = 0;
        });
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::OnUnderline() {
    GuardOperation(3309, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o)) return;
        ViewHost* host = View::GetHost();
        const WORD flag = host && host->GetFormatBarButtonImage(6) == 2 ? 1 : 0;
        o->SyncCharUnderlines();
        for (int i = 0; i < o->GetCharCount(); ++i)
            if (m_selStart == m_selEnd || TextEditing::IsCharSelected(*o, *this, i))
                o->charUnderlines[i] = flag;
        o->needsLayout = 1;
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::SetCharColor(ViewObject* object, COLORREF color) {
    GuardOperation(981, [&] {
        if (!IsTextual(object)) return;
        ViewObject* edited = GetSelectedObject();
        while (object->charColors.GetSize() < object->chars.GetSize()) object->charColors.Add(nullptr);
        const int n = static_cast<int>(object->charColors.GetSize());
        if (m_selStart == m_selEnd || object != edited) {
            for (int i = 0; i < n; ++i) {
                delete object->charColors[i];
                object->charColors[i] = nullptr;
            }
            if (n > 0) object->charColors[0] = new COLORREF(color);
        } else {
            for (const auto& run : SelectedRuns(*object, *this)) {
                const int a = run.first, b = run.second < n ? run.second : n - 1;
                if (b + 1 < n && !object->charColors[b + 1])
                    if (COLORREF* c = GetRunObject(object, b)) object->charColors[b + 1] = new COLORREF(*c);
                for (int i = a; i <= b; ++i) {
                    delete object->charColors[i];
                    object->charColors[i] = nullptr;
                }
                object->charColors[a] = new COLORREF(color);
            }
        }
        object->PruneCharColors();
    });
}

// ---- display ----------------------------------------------------------------------------------------

void ViewSelect::Refresh() {
    if (AppCanvasState::Get().m_inPrintPreview) return;
    if (ViewHost* host = View::GetHost()) host->UpdateFontBarFromSelection(nullptr);
}

void ViewSelect::ShowFontSize() {
    GuardOperation(998, [&] {
        ViewObject* o = GetSelectedObject();
        ViewHost* host = View::GetHost();
        if (!IsTextual(o) || !host) return;
        FontSelectionState state = GetFontSelectionState();
        if (host->GetFormatBarButtonCount() > 6) {
            host->SetFormatBarButtonImage(4, state.bold ? 3 : 0);
            host->SetFormatBarButtonImage(5, state.italic ? 4 : 1);
            host->SetFormatBarButtonImage(6, state.underline ? 5 : 2);
        }
        host->ShowFontName(state.faceName);
        host->ShowFontSizeText(state.sizeText);
        host->UpdateColorBarFromSelection(o);
    });
}

FontSelectionState ViewSelect::GetFontSelectionState() {
    FontSelectionState state;
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return state;
    auto sizeText = [&](const LOGFONTA* f) {
        CString text;
        text.Format("%.1f", f->lfHeight / 10.0);
        if (o->bAutoFit) text += " (AutoFit)";
        return text;
    };
    if (m_selStart == m_selEnd) {
        LOGFONTA* f = GetRunFont(o, m_selStart);
        if (!f) return state;
        state.faceName = f->lfFaceName;
        state.sizeText = sizeText(f);
        state.bold = f->lfWeight >= 500;
        state.italic = f->lfItalic != 0;
        state.underline = m_selStart < o->charUnderlines.GetSize() && o->charUnderlines[m_selStart] != 0;
        return state;
    }
    bool first = true, sameName = true, sameSize = true;
    state.bold = state.italic = state.underline = true;
    for (const auto& run : SelectedRuns(*o, *this)) {
        for (int i = run.first; i <= run.second && i < o->GetCharCount(); ++i) {
            LOGFONTA* f = GetRunFont(o, i);
            if (!f) continue;
            const CString name = f->lfFaceName, size = sizeText(f);
            if (first) {
                state.faceName = name;
                state.sizeText = size;
                first = false;
            } else {
                if (name != state.faceName) sameName = false;
                if (size != state.sizeText) sameSize = false;
            }
            if (f->lfWeight < 500) state.bold = false;
            if (!f->lfItalic) state.italic = false;
            if (i >= o->charUnderlines.GetSize() || !o->charUnderlines[i]) state.underline = false;
        }
    }
    if (first) state.bold = state.italic = state.underline = false;
    if (!sameName) state.faceName.Empty();
    if (!sameSize) state.sizeText.Empty();
    return state;
}
