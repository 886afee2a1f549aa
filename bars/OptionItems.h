// The lists of the formatting bar's drop-down option buttons (text, command, icon in the shared
// 19 x 19 tool image list) and the small rules that map an object's property to the option that
// shows it. Texts stand as the menus show them: "&&" is one "&".
#pragma once

#include <windows.h>

#include "framework/Core.h"
#include "res/CommandIds.h"

struct OptionItem {
    const char* text;
    UINT id;
    int icon;
};

struct OptionList {
    const OptionItem* items;
    int count;
};

namespace OptionLists {
extern const OptionList kAspect;
extern const OptionList kAngle;
extern const OptionList kNumbersTimes;
extern const OptionList kWrapText;    // three styles: texts and "Table Format" track lists
extern const OptionList kWrapTracks;  // four styles: the other track lists
extern const OptionList kLinking;
extern const OptionList kTrackLayoutDisc;   // track lists on the disc page
extern const OptionList kTrackLayoutCover;  // track lists on the covers
extern const OptionList kMarginInches;
extern const OptionList kMarginMillimetres;
extern const OptionList kDiscPositionCentred;  // the first disc is centred on its page
extern const OptionList kDiscPosition;
}  // namespace OptionLists

// The margin option for a side's text margin (thousandths of an inch): 0, 50, 100, 150 give
// 32993..32996; any other value 0 (the current option stays).
UINT MarginCommandForValue(int margin);
// The margin a margin command sets; a command outside the four gives 0.
int MarginValueForCommand(UINT command);
// The disc-position option of a disc layout 0..5; 0 for any other layout.
UINT DiscPositionCommandForLayout(int layout);
// The disc layout a disc-position command sets; -1 for any other command.
int DiscLayoutForCommand(UINT command);
// Whether the margin list must be rebuilt for the units: its current text is empty, or its fifth
// character says the other units ("m" of millimetres under inches, "'" of inches otherwise).
bool MarginListNeedsRebuild(bool inches, const CString& currentText);
// The wrap-style option that shows a stored wrap style ("No Wrap" is shown as "Multi-Line").
CString WrapOptionText(const CString& wrapStyle);
