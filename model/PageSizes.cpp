// The page sizes a design is laid out on.
#include "model/PageSizes.h"

#include "framework/core/OperationError.h"

#include <algorithm>

int g_paperCodes[6];
int g_paperDims[6][2];
int g_printableAreas[6][4];

float g_lightScribeGeometry[8] = {0.0f, 0.0f, 4622.0f, 4622.0f, 1374.0f, 1374.0f, 1874.0f, 1874.0f};

namespace {

const int kPaperSizes[6][2] = {{8500, 11000}, {8500, 14000},  {11000, 17000},
                               {8268, 11693}, {11693, 16535}, {5500, 5500}};

}  // namespace

void InitPaperTable() {
    static const int codes[6] = {DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_TABLOID,
                                 DMPAPER_A4,     DMPAPER_A3,    DMPAPER_USER};
    for (int i = 0; i < 6; ++i) {
        g_paperCodes[i] = codes[i];
        g_paperDims[i][0] = kPaperSizes[i][0];
        g_paperDims[i][1] = kPaperSizes[i][1];
        g_printableAreas[i][0] = 0;
        g_printableAreas[i][1] = 0;
        g_printableAreas[i][2] = kPaperSizes[i][0];
        g_printableAreas[i][3] = kPaperSizes[i][1];
    }
}

int FindPaperSizeIndex(int x, int y, int width, int height) {
    (void)x;
    (void)y;
    for (int i = 0; i < 6; ++i) {
        if ((g_paperDims[i][0] == width && g_paperDims[i][1] == height) ||
            (g_paperDims[i][1] == width && g_paperDims[i][0] == height))
            return i;
    }
    return 0;
}

Gdiplus::Rect GetPrintableArea(int x, int y, int width, int height) {
    Gdiplus::Rect result(x, y, width, height);
    GuardOperation(1133, [&] {
        int i = FindPaperSizeIndex(x, y, width, height);
        const int* a = g_printableAreas[i];
        if (width < height)
            result = Gdiplus::Rect(a[0], a[1], a[2], a[3]);
        else
            result = Gdiplus::Rect(a[1], a[0], a[3], a[2]);
    });
    return result;
}

bool FitsLargestPaper(double width, double height, double slack) {
    double shortest = 0, longest = 0;
    for (const int* paper : kPaperSizes) {
        shortest = std::max(shortest, static_cast<double>(std::min(paper[0], paper[1])));
        longest = std::max(longest, static_cast<double>(std::max(paper[0], paper[1])));
    }
    return std::min(width, height) <= shortest + 2 * slack && std::max(width, height) <= longest + 2 * slack;
}
