// Reading and drawing a design that holds one very long text: a jewel-case front cover whose
// text has N words of L letters (one font record on the first character, as typed text has).
// Prints the time to read the design from memory, the time to draw the front cover at 150 dots
// per inch, and the process's peak memory. Run by hand:
//   build-dir/wine-run long_text_benchmark.exe [-words N] [-letters L] [-points P] [-autofit]
// The process-memory call of kernel32 itself, so that no extra library is linked.
#define PSAPI_VERSION 2
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/PaperTable.h"
#include "model/KorvanelleDocument.h"
#include "render/DocumentBitmap.h"

using namespace Gdiplus;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    int words = 10000, letters = 100, points = 10;
    bool autoFit = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-words") && i + 1 < argc) words = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "-letters") && i + 1 < argc) letters = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "-points") && i + 1 < argc)
            points = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "-autofit")) autoFit = true;
    }
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return 1;
    InitPaperTable();
    {
        KorvanelleDocument library, design;
        library.CreateBuiltInTemplates();
        design.CreateFromTemplates(library.templates[3], library.templates[2]);
        ViewObject* front = design.FindObject("Front Cover");
        if (!front) return 2;
        std::string text;
        for (int w = 0; w < words; ++w) {
            for (int l = 0; l < letters; ++l) text += static_cast<char>('a' + (w + l) % 26);
            text += ' ';
        }
        text += '\b';
        ViewObject* o = NewViewObject(kObjectText, "Text 1", front->side, front->name, front->left + 200,
                                      front->top + 200, front->width - 400, front->height - 400);
        o->alignment = "Left";
        o->angle = "0 degrees";
        o->wrapStyle = "Word-Wrap";
        o->bAutoFit = autoFit ? 1 : 0;
        o->SetText(text.c_str());
        o->charFonts.SetSize(o->GetCharCount());
        o->charColors.SetSize(o->GetCharCount());
        o->charUnderlines.SetSize(o->GetCharCount());
        o->charFonts[0] = ViewObject::NewDefaultFontRecord();
        o->charFonts[0]->lfHeight = points * 10;
        design.GetCoverTemplate()->AddObject(o);
        CMemFile saved;
        design.Save(&saved);
        std::printf("design: %d words of %d letters at %d pt, %lu bytes\n", words, letters, points,
                    static_cast<unsigned long>(saved.GetLength()));

        saved.SeekToBegin();
        KorvanelleDocument read;
        const LARGE_INTEGER t0 = Now();
        const bool ok = LoadObjectFromFile(&read, &saved);
        read.MakeNamesUnique();
        const LARGE_INTEGER t1 = Now();
        ViewObject* side = read.FindObject("Front Cover");
        read.currentSideName = "Front Cover";
        Bitmap* b = ok && side ? RenderDocumentToBitmap(&read, side, 3, 150, nullptr) : nullptr;
        const LARGE_INTEGER t2 = Now();
        std::printf("read: %.2f s (%s), draw: %.2f s (%s)\n", Seconds(t0, t1), ok ? "ok" : "failed",
                    Seconds(t1, t2), b ? "ok" : "failed");
        delete b;
        read.DeleteContents(true);
        design.DeleteContents(true);
        library.DeleteContents(true);
    }
    GdiplusShutdown(token);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("peak memory: %lu MB committed, %lu MB working set\n",
                static_cast<unsigned long>(memory.PeakPagefileUsage >> 20),
                static_cast<unsigned long>(memory.PeakWorkingSetSize >> 20));
    return 0;
}
