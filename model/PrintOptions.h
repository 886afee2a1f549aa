// PrintOptions: the print choices - which sides print, which outlines and fold lines are drawn,
// and how far the print of a front cover, a back cover and a disc bleeds past its edges. The
// settings keep one instance (g_printOptions); every drawing record takes a copy.
#pragma once

#include <windows.h>

class PrintOptions {
public:
    // A copy of the source; the defaults when it is null.
    explicit PrintOptions(const PrintOptions* source = nullptr);

    // Print all four sides, no outline, no fold line, no bleed.
    void SetDefaults();
    // Copies the nine flags and the three margins; nothing when null.
    void CopyFrom(const PrintOptions* source);

    // By side type code: 3 front cover, 4/5/10 back covers, 2 disc; anything else none.
    int GetMargin(int sideType) const;
    bool HasBorder(int sideType) const;
    bool HasFoldLines(int sideType) const;

    BYTE printFront;
    BYTE printBack;
    BYTE printDisc1;
    BYTE printDisc2;
    BYTE frontBorder;
    BYTE backBorder;
    BYTE discBorder;
    BYTE frontFold;
    BYTE backFold;
    int frontMargin;  // thousandths of an inch
    int backMargin;
    int discMargin;
};

// The print choices of the application (the settings give them their own defaults).
extern PrintOptions g_printOptions;
// The setting that shows the notice about printing directly on a disc again (adding a printer sets
// it).
extern BYTE g_helpCdPrinter;

// The largest bleed any choice offers (0.15 inch): the print pages' margin options and Save as
// Image's overlap list end there.
const int kMaxBleed = 150;

// The bleed of a margin option: 1/5 none, 2/6 50, 3/7 100, 4/8 150; any other value none.
int MarginOfOption(int option);
