// The page sizes a design is laid out on: the fixed table of six paper sizes (thousandths of an
// inch) with their printer paper codes and printable rectangles, and the disc-printer label
// geometry. The application fills the table at start-up; printing measures the printable areas.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Index 0 Letter, 1 Legal, 2 Tabloid, 3 A4, 4 A3, 5 the square disc-printer page.
extern int g_paperCodes[6];
extern int g_paperDims[6][2];       // width, height
extern int g_printableAreas[6][4];  // x offset, y offset, width, height (portrait)

// Fills the codes and sizes, and makes every printable rectangle the whole paper.
void InitPaperTable();
// Index of the paper of that size in either orientation; 0 (Letter) when none matches.
int FindPaperSizeIndex(int x, int y, int width, int height);
// The printable rectangle (x offset, y offset, width, height) for a page (x, y, width, height),
// turned for a page that is not taller than wide.
Gdiplus::Rect GetPrintableArea(int x, int y, int width, int height);

// True when an area of width x height (thousandths of an inch) lies within the largest paper of
// the table (in either orientation, each paper's longer and shorter edge the largest of any),
// grown by `slack` on every side. A side or page beyond it comes from a damaged template only.
bool FitsLargestPaper(double width, double height, double slack);

// The disc-printer label geometry in thousandths of an inch: the outer square (x, y, width,
// height) and the hole square (x, y, width, height).
extern float g_lightScribeGeometry[8];
