// The library of label templates held by the view: loaded at start-up from the first readable of
// eight candidate files and topped up, written back to templates.ini, applied to the design, and
// the alignment of one of its templates.
#include "canvas/ViewSettings.h"
#include "model/PageSizes.h"
#include "canvas/CanvasMessage.h"
#include "canvas/FrameCommandState.h"
#include "canvas/View.h"

namespace {

bool EndsWith(const CString& text, const char* tail) {
    const int n = lstrlenA(tail);
    return text.GetLength() >= n && text.Right(n) == tail;
}

}  // namespace

void View::LoadTemplates() {
    GuardOperation(940, [&] {
        const CString candidates[8] = {
            g_settingsFolder + "\\templates.ini", g_settingsFolder + "\\labels.ini",
            g_dataFolder + "\\templates.ini",     g_programFolder + "\\templates.ini",
            g_dataFolder + "\\labels.ini",        g_programFolder + "\\labels.ini",
            g_dataFolder + "\\templatesNew.ini",  g_programFolder + "\\templatesNew.ini",
        };
        bool saveNeeded = false;
        CString loaded;
        for (const CString& path : candidates) {
            if (m_templates.OpenDocumentFile(path)) {
                loaded = path;
                break;
            }
            // A candidate that is missing or unreadable: the next one is tried, and the library
            // will be written to the settings folder.
            saveNeeded = true;
        }
        if (!loaded.IsEmpty() && !EndsWith(loaded, "templatesNew.ini") &&
            ((g_settingsVersion >= 1 && g_settingsVersion <= 506) || EndsWith(loaded, "labels.ini"))) {
            KorvanelleDocument scratch;
            if (scratch.OpenDocumentFile(g_dataFolder + "\\templatesNew.ini") ||
                scratch.OpenDocumentFile(g_programFolder + "\\templatesNew.ini")) {
                if (m_templates.MergeTemplatesFrom(&scratch)) saveNeeded = true;
            }
            scratch.DeleteContents(true);
        }
        m_templates.CreateBuiltInTemplates();
        g_defaultTemplateNames[0] = m_templates.ResolveTemplateName(g_defaultTemplateNames[0], kCaseDisc);
        g_defaultTemplateNames[1] = m_templates.ResolveTemplateName(g_defaultTemplateNames[1], kCaseCover);
        if (!loaded.IsEmpty() && saveNeeded) SaveTemplates();
    });
}

void View::SaveTemplates() {
    GuardOperation(941, [&] {
        const CString path = g_settingsFolder + "\\templates.ini";
        // The library replaces the old file only when complete, so a failed write never leaves
        // a damaged library behind. Whatever stopped it (a full disk, memory) is told once, here.
        const bool written = WriteFileWhole(
            path, [&](CFile& file) { return GuardOperationQuietly(942, [&] { m_templates.Save(&file); }); });
        if (!written)
            ShowCanvasMessageOk(this, kMessageError, CString(),
                                "Error saving the label template file:\r\n\r\n" + path);
    });
}

void View::OnChangeLabelTemplate() {
    GuardOperation(943, [&] {
        if (ViewHost* host = GetHost()) host->RunLabelStock();
    });
}

void View::MatchCoverCaseKind() {
    GuardOperation(944, [&] {
        LabelTemplate* library = m_templates.GetCoverTemplate();
        LabelTemplate* design = m_design.GetCoverTemplate();
        if (library && design && library->GetCaseKind() != design->GetCaseKind())
            m_design.RenameTemplates(CString(), m_templates.coverTemplateName);
    });
}

void View::ApplyTemplate(const CString& discChange, const CString& coverChange, bool refresh,
                         bool takeCentring) {
    GuardOperation(945, [&] {
        TrimUndoSteps(0, true);
        m_undoPosition = -1;
        m_select.DiscardHslResult();
        // The backgrounds kept for pictures still decoding (put back should they fail) move with
        // their sides.
        std::vector<ViewObject*> aside;
        for (const PendingPicture& pending : m_pendingPictures)
            if (pending.putOut) aside.push_back(pending.putOut.get());
        bool refreshNeeded = false;
        const CString discName = m_templates.discTemplateName;
        const CString coverName = m_templates.coverTemplateName;
        if (!discChange.IsEmpty()) {
            m_design.RenameTemplates(discName, CString());
            LabelTemplate* library = m_templates.FindTemplate(discName);
            if (takeCentring && library && library->IsDiscCentered() != m_design.IsDiscCentered())
                g_showDiscPrintSettings = library->IsDiscCentered() ? 1 : 0;
            if (library) m_design.ApplyPendingGeometry(library, aside);
            if (m_design.GetCurrentSideIndex() == 1) refreshNeeded = true;
            g_defaultTemplateNames[0] = discName;
        }
        if (!coverChange.IsEmpty()) {
            m_design.RenameTemplates(CString(), coverName);
            MatchCoverCaseKind();
            if (LabelTemplate* library = m_templates.FindTemplate(coverName))
                m_design.ApplyPendingGeometry(library, aside);
            const int side = m_design.GetCurrentSideIndex();
            if (side == 2 || side == 3) refreshNeeded = true;
            g_defaultTemplateNames[1] = coverName;
            if (m_design.HasJewelCase())
                g_defaultTemplateNames[2] = coverName;
            else if (m_design.HasDvdCase())
                g_defaultTemplateNames[3] = coverName;
            else if (m_design.HasBlurayCase())
                g_defaultTemplateNames[4] = coverName;
            if (ResizeBuffers()) refreshNeeded = true;
        }
        int layout = m_design.GetDiscLayout();
        if (m_design.IsDiscCentered())
            layout = m_design.IsTwoDiscLayout() ? kLayout2DiscTop : kLayout1DiscTop;
        m_design.SetDiscLayout(layout);
        OnSelectionChanged(m_design.currentSideName, FALSE);
        m_select.Refresh();
        RecenterView(true, false);
        if (ViewHost* host = GetHost()) host->UpdateMainToolbarButtons();
        if (refreshNeeded && refresh && !FrameCommandState::Get().m_busy) RefreshView(CString());
    });
}

LabelTemplate* View::ShowLabelAlignment(const CString& templateName, int sideIndex, bool asCustom) {
    LabelTemplate* result = nullptr;
    GuardOperation(946, [&] {
        LabelTemplate* found = m_templates.FindTemplate(templateName);
        if (!found) return;
        if (sideIndex == 3 && found->AreCoversOnSamePage()) return;
        LabelTemplate* edited = found;
        if (asCustom) {
            edited = new LabelTemplate(found, false);
            m_templates.AssignCustomTemplateName(edited);
        }
        int answer = IDCANCEL;
        {
            CWaitCursor wait;
            if (ViewHost* host = GetHost()) answer = host->RunLabelAlignment(edited, sideIndex);
        }
        if (answer != IDOK) {
            if (asCustom) DeleteLabelTemplate(edited);
            return;
        }
        if (asCustom) m_templates.AddTemplate(edited);
        if (found->name == m_templates.discTemplateName || templateName == m_templates.discTemplateName) {
            m_templates.discTemplateName = edited->name;
            ApplyTemplate(edited->name, CString(), true, true);
        } else if (templateName == m_templates.coverTemplateName) {
            m_templates.coverTemplateName = edited->name;
            ApplyTemplate(CString(), edited->name, true, true);
        }
        SaveTemplates();
        result = edited;
    });
    return result;
}
