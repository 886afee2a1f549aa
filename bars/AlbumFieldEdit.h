// Changes of an album field made from the Text Editor bar, each one undo step of the view: the
// step around a change, storing a field box's edit, and changing the track count. The main
// frame's handlers of the bar's UpdateText and of the Tracks box's TrackChange run the last two.
#pragma once

#include "framework/core/Strings.h"

class CBarText;
class CEditText;
class ViewObject;

// One undo step around a change of the album field `fieldName`, opened only when the design has
// a current side: the side carries the field's name and its text before ("prevText") and after
// ("nextText") the change, so that undo and redo restore the field. End() closes it; a step
// still open when the object goes is closed then.
class AlbumFieldStep {
public:
    explicit AlbumFieldStep(const CString& fieldName);
    ~AlbumFieldStep();
    AlbumFieldStep(const AlbumFieldStep&) = delete;
    AlbumFieldStep& operator=(const AlbumFieldStep&) = delete;

    bool IsOpen() const { return m_side != nullptr; }
    void End();

private:
    CString m_fieldName;
    ViewObject* m_side = nullptr;
};

// A field box's new text (the bar's UpdateText): the box is fitted to the text, which is
// cleaned and stored as its album field (a track-list cell through the grid), the linked objects
// follow, all in one undo step; the view is redrawn at idle time. `text` comes back cleaned.
void StoreFieldEdit(CBarText& bar, CString& text, CEditText* box);

// The Tracks box's new count (TrackChange): the track list `fieldName` gets that many records, in
// one undo step; a count that changes nothing opens no step.
void ChangeTrackCount(CBarText& bar, int count, const CString& fieldName);
