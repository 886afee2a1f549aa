// CUndo: one undo step - sparse snapshots of the changed objects before and after the change
// (one per object name) and, when objects appeared, went or moved in the drawing order, the names
// of all objects before and after. Never stored in a file.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "framework/Core.h"

class ViewObject;

// Which fields of a snapshot hold a recorded value. A snapshot is an ordinary ViewObject, and
// every value of its fields is a real value (a left of 0, a hue of -1), so what was recorded is
// kept here rather than guessed from the values.
enum UndoField : unsigned {
    kUndoLeft = 1u << 0,
    kUndoTop = 1u << 1,
    kUndoWidth = 1u << 2,
    kUndoHeight = 1u << 3,
    kUndoLinkText = 1u << 4,
    kUndoAspectRatio = 1u << 5,
    kUndoAutoFit = 1u << 6,
    kUndoBackground = 1u << 7,
    kUndoTextMargin = 1u << 8,
    kUndoDiscLayout = 1u << 9,
    kUndoAngle = 1u << 10,
    kUndoWrapStyle = 1u << 11,
    kUndoAlignment = 1u << 12,
    kUndoTrackNumbers = 1u << 13,
    kUndoTextLayout = 1u << 14,
    kUndoCursor = 1u << 15,
    kUndoText = 1u << 16,
    kUndoUnderline = 1u << 17,
    kUndoColor = 1u << 18,
    kUndoFont = 1u << 19,
    kUndoHsl = 1u << 20,
    kUndoRich = 1u << 21,  // a full copy of the object (it appeared or went)
};

class CUndo : public CObject {
public:
    CUndo() = default;
    // Frees the arrays; the snapshots are deleted by View::TrimUndoSteps.
    ~CUndo() override = default;

    // The recorded-field flags of a snapshot of m_before or m_after.
    unsigned GetFields(const ViewObject* snapshot) const;
    void AddFields(const ViewObject* snapshot, unsigned fields);
    bool Has(const ViewObject* snapshot, unsigned field) const { return (GetFields(snapshot) & field) != 0; }

    CObArray m_before;  // ViewObject snapshots before the step, one per object name
    CObArray m_after;   // ViewObject snapshots after the step
    CStringArray m_orderBefore;
    CStringArray m_orderAfter;
    CString m_objectName;  // the object selected when the step was opened
    // For a snapshot of a side (a disc or a cover) whose text was recorded: the album fields
    // (name, text) at that moment - an album field edit is recorded on the current side.
    std::map<const ViewObject*, std::vector<std::pair<CString, CString>>> m_albumTexts;
    // The design's modified flag when the step was opened, for a step that turns out to change
    // nothing and is not kept.
    BOOL m_designWasModified = FALSE;
    // Names the state the step leads to: unique in the view, kept however the list shifts.
    unsigned m_serial = 0;
    // The step inserted a picture that is still decoding (it may yet be taken out again).
    bool m_picturePending = false;

private:
    std::map<const ViewObject*, unsigned> m_fields;
};
