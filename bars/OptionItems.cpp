// The formatting bar's option lists and their rules.
#include "bars/OptionItems.h"

namespace {

const OptionItem kAspectItems[] = {
    {"Lock Aspect Ratio", ID_LOCK_ASPECT_RATIO, 24},
    {"Unlock Aspect Ratio", ID_UNLOCK_ASPECT_RATIO, 25},
};
const OptionItem kAngleItems[] = {
    {"0 degrees", ID_ANGLE_0, 6},
    {"90 degrees", ID_ANGLE_90, 7},
    {"270 degrees", ID_ANGLE_270, 8},
    {"180 degrees", ID_ANGLE_180, 9},
};
const OptionItem kNumbersTimesItems[] = {
    {"Track Numbers && Times", ID_TRACK_NUMBERS_TIMES, 10},
    {"Track Numbers", ID_TRACK_NUMBERS, 11},
    {"Track Times", ID_TRACK_TIMES, 12},
    {"Text Only", ID_TRACK_TEXT_ONLY, 13},
};
const OptionItem kWrapItems[] = {
    {"Single-Line", ID_WRAP_SINGLE_LINE, 35},
    {"Multi-Line", ID_WRAP_MULTI_LINE, 14},
    {"Word-Wrap", ID_WRAP_WORD_WRAP, 15},
    {"Track-Wrap", ID_TRACK_WRAP, 16},
};
const OptionItem kLinkingItems[] = {
    {"Text Linking On", ID_TEXT_LINKING_ON, 19},
    {"Text Linking Off", ID_TEXT_LINKING_OFF, 20},
};
const OptionItem kTrackLayoutDiscItems[] = {
    {"Left Side", ID_TRACKS_LEFT_SIDE, 0},
    {"Right Side", ID_TRACKS_RIGHT_SIDE, 1},
    {"Top", ID_TRACKS_TOP, 2},
    {"Bottom", ID_TRACKS_BOTTOM, 3},
    {"Top && Bottom", ID_TRACKS_TOP_BOTTOM, 4},
    {"2 Columns", ID_TRACKS_DISC_TWO_COLUMNS, 5},
};
const OptionItem kTrackLayoutCoverItems[] = {
    {"1 Column", ID_TRACKS_ONE_COLUMN, 18},
    {"2 Columns", ID_TRACKS_COVER_TWO_COLUMNS, 21},
    {"Table Format", ID_TRACKS_TABLE_FORMAT, 17},
};
const OptionItem kMarginInchItems[] = {
    {"0.00'' Text Margin", ID_TEXT_MARGIN_0, 29},
    {"0.05'' Text Margin", ID_TEXT_MARGIN_1, 30},
    {"0.10'' Text Margin", ID_TEXT_MARGIN_2, 31},
    {"0.15'' Text Margin", ID_TEXT_MARGIN_3, 32},
};
const OptionItem kMarginMillimetreItems[] = {
    {"0.0 mm Text Margin", ID_TEXT_MARGIN_0, 29},
    {"1.3 mm Text Margin", ID_TEXT_MARGIN_1, 30},
    {"2.5 mm Text Margin", ID_TEXT_MARGIN_2, 31},
    {"3.8 mm Text Margin", ID_TEXT_MARGIN_3, 32},
};
const OptionItem kDiscPositionCentredItems[] = {
    {"1 Disc", ID_DISC1_TOP, 27},
    {"2 Discs", ID_DISC2_TOP, 26},
};
const OptionItem kDiscPositionItems[] = {
    {"Disc 1 - Top", ID_DISC1_TOP, 27},
    {"Disc 1 - Bottom", ID_DISC1_BOTTOM, 28},
    {"Disc 1 - Duplicate", ID_DISC1_DUPLICATE, 26},
    {"Disc 2 - Top", ID_DISC2_TOP, 41},
    {"Disc 2 - Bottom", ID_DISC2_BOTTOM, 42},
    {"Disc 2 - Duplicate", ID_DISC2_DUPLICATE, 43},
};

const UINT kDiscLayoutCommands[6] = {ID_DISC1_TOP, ID_DISC1_BOTTOM, ID_DISC1_DUPLICATE,
                                     ID_DISC2_TOP, ID_DISC2_BOTTOM, ID_DISC2_DUPLICATE};

template <int N>
OptionList ListOf(const OptionItem (&items)[N]) {
    return OptionList{items, N};
}

}  // namespace

namespace OptionLists {
const OptionList kAspect = ListOf(kAspectItems);
const OptionList kAngle = ListOf(kAngleItems);
const OptionList kNumbersTimes = ListOf(kNumbersTimesItems);
const OptionList kWrapText = {kWrapItems, 3};
const OptionList kWrapTracks = {kWrapItems, 4};
const OptionList kLinking = ListOf(kLinkingItems);
const OptionList kTrackLayoutDisc = ListOf(kTrackLayoutDiscItems);
const OptionList kTrackLayoutCover = ListOf(kTrackLayoutCoverItems);
const OptionList kMarginInches = ListOf(kMarginInchItems);
const OptionList kMarginMillimetres = ListOf(kMarginMillimetreItems);
const OptionList kDiscPositionCentred = ListOf(kDiscPositionCentredItems);
const OptionList kDiscPosition = ListOf(kDiscPositionItems);
}  // namespace OptionLists

UINT MarginCommandForValue(int margin) {
    switch (margin) {
        case 0:
            return ID_TEXT_MARGIN_0;
        case 50:
            return ID_TEXT_MARGIN_1;
        case 100:
            return ID_TEXT_MARGIN_2;
        case 150:
            return ID_TEXT_MARGIN_3;
        default:
            return 0;
    }
}

int MarginValueForCommand(UINT command) {
    switch (command) {
        case ID_TEXT_MARGIN_1:
            return 50;
        case ID_TEXT_MARGIN_2:
            return 100;
        case ID_TEXT_MARGIN_3:
            return 150;
        default:
            return 0;
    }
}

UINT DiscPositionCommandForLayout(int layout) {
    return layout >= 0 && layout < 6 ? kDiscLayoutCommands[layout] : 0;
}

int DiscLayoutForCommand(UINT command) {
    for (int i = 0; i < 6; ++i)
        if (kDiscLayoutCommands[i] == command) return i;
    return -1;
}

bool MarginListNeedsRebuild(bool inches, const CString& currentText) {
    if (currentText.IsEmpty()) return true;
    if (currentText.GetLength() < 5) return false;
    return currentText[4] == (inches ? 'm' : '\'');
}

CString WrapOptionText(const CString& wrapStyle) {
    return wrapStyle == "No Wrap" ? CString("Multi-Line") : wrapStyle;
}
