// The in-place text editing of a text or track-list object as plain functions over the object
// and the editor's state: selections snapped to track fields, the character under a point, caret
// moves, deleting and inserting characters with their font, colour and underline runs, and the
// renumbering of tracks. ViewSelect (the editor window) calls these and adds the drawing, the
// timers and the undo steps.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/Core.h"

class ViewObject;

// The editor's state, one entry of m_charStates per character of the edited object.
struct TextEditState {
    // 0 plain, 1 the caret is drawn on this character, 2 the character is drawn highlighted.
    CWordArray m_charStates;
    int m_startRow = 0, m_endRow = 0;
    int m_startField = 0, m_endField = 0;  // 1 number, 2 title, 3 time
    int m_selStart = 0, m_selEnd = 0;      // start not above end; equal values are a caret
    int m_framedRow = -1, m_framedField = -1;
    int m_lastShownStart = -2, m_lastShownEnd = -2;
    int m_anchor = 0;
    int m_caretX = -1;
    BYTE m_keysEnabled = 1;
    BYTE m_showTrackTip = 0;
};

namespace TextEditing {

// The first and the separator index of a field (1 number, 2 title, 3 time) of a track row.
int FieldFirst(const ViewObject& object, int row, int field);
int FieldEnd(const ViewObject& object, int row, int field);
// The field (1 to 3) and row holding a character index; false when none does.
bool FindField(const ViewObject& object, int index, int& row, int& field);

// Stores the selection (a, b), both -1 = all; track lists snap to whole fields.
void SetSelection(const ViewObject& object, TextEditState& state, int a, int b);

// The caret index of a design point (relative to the object's top-left corner): the character
// whose cell box the point falls in, by the four passes, or the one after it when the point lies
// past its middle in reading direction (also past the last character of a line or of the text).
int CharIndexFromPoint(const ViewObject& object, float x, float y);

// Keys of the caret moves.
enum CaretKey { kKeyLeft = VK_LEFT, kKeyRight = VK_RIGHT, kKeyUp = VK_UP, kKeyDown = VK_DOWN };
// The new caret index of an arrow key without Shift.
int MoveCaretIndex(const ViewObject& object, TextEditState& state, int key);
// The Shift variants: the new selection (start, end).
void ExtendSelectionRange(const ViewObject& object, TextEditState& state, int key, int& start, int& end);

// Whether character i is in the selection as it is drawn highlighted: between the selection's
// ends and, in a track list with a selection of several fields, in one of the selected fields.
bool IsCharSelected(const ViewObject& object, const TextEditState& state, int i);

// What Backspace or Delete removes: the range [from, to] of the selection, or of the character
// before the caret; `rows` when whole track rows go. False when nothing is to be deleted.
bool GetDeleteRange(const ViewObject& object, const TextEditState& state, bool wholeRows, int& from, int& to,
                    bool& rows);
// Deletes the range from one object (the edited one or a linked copy): separators stay unless
// whole rows go, and with a real selection only selected characters go. A deleted character's
// font and colour records continue in the first character after the range, and character 0
// keeps its record. An object left empty gets the default track row. True when it was emptied.
bool DeleteRange(ViewObject& object, const TextEditState& state, int from, int to, bool rows);
// The caret after deleting: the range's start, or after whole rows the first shown field of the
// start row (clamped to the last row).
int CaretAfterDelete(ViewObject& object, const TextEditState& state, int from, bool rows);
// Inserts text at index `at` (the caret); new characters continue the run before them, or after
// a separator, a line break or at 0 take over the run of the character after them.
void InsertChars(ViewObject& object, int at, const CString& text);
// Numbers the rows 1, 2, ...; false (nothing changed) when a row's number field does not start
// with one or two digits and ".".
bool RenumberTracks(ViewObject& object);
// The single row a track list gets when everything was deleted: "1. ", "Track 1", " 0:01".
void SetDefaultTrackRow(ViewObject& object, LOGFONTA* font, COLORREF* color);

}  // namespace TextEditing
