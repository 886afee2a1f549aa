// Designs whose objects share one name, as a damaged or hostile file can have them: N free texts
// all named "Text 1" on the front cover, and N texts named "Artist" on the first disc. Prints the
// time to read the first design from a file (the read renames the namesakes) and the time to add
// the second disc's copies of the disc texts (a switch to a two-disc layout names every copy).
// Run by hand:
//   build-dir/wine-run namesake_benchmark.exe [-texts N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/PaperTable.h"
#include "model/KorvanelleDocument.h"
#include "BenchmarkTiming.h"

namespace {

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// A plain disc label and the jewel case, as a new design starts, with `count` texts of `name`
// on `sideName`.
void MakeDesign(KorvanelleDocument& library, KorvanelleDocument& design, int count, const char* name,
                const char* sideName) {
    design.CreateFromTemplates(library.templates[0], library.templates[1]);
    ViewObject* side = design.FindObject(sideName);
    LabelTemplate* holder = side->side == 1 ? design.GetDiscTemplate() : design.GetCoverTemplate();
    for (int i = 0; i < count; ++i)
        holder->AddObject(NewViewObject(kObjectText, name, side->side, sideName, side->left + 100,
                                        side->top + 100, 2000, 300));
}

}  // namespace

int main(int argc, char** argv) {
    int texts = 20000;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "-texts") && i + 1 < argc) texts = std::atoi(argv[++i]);
    InitPaperTable();
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();

    {
        KorvanelleDocument design, read;
        MakeDesign(library, design, texts, "Text 1", "Front Cover");
        char folder[MAX_PATH], path[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "kvn", 0, path);
        CFile file;
        if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) return 1;
        design.Save(&file);
        file.Close();
        const LARGE_INTEGER t0 = Now();
        const bool ok = read.Load(path);
        const double seconds = cvtest::Milliseconds(t0, Now()) / 1000;
        LabelTemplate* cover = read.GetCoverTemplate();
        ViewObject* last = cover ? cover->GetObject(cover->GetObjectCount() - 1) : nullptr;
        std::printf("read %d texts named \"Text 1\": %.3f s (%s, the last one now \"%s\")\n", texts, seconds,
                    ok ? "ok" : "failed", last ? last->name.GetString() : "");
        DeleteFileA(path);
        read.DeleteContents(true);
        design.DeleteContents(true);
    }
    {
        KorvanelleDocument design;
        MakeDesign(library, design, texts, "Artist", "Disc 1");
        const LARGE_INTEGER t0 = Now();
        design.SetDiscLayout(kLayout2DiscBottom);
        const double seconds = cvtest::Milliseconds(t0, Now()) / 1000;
        std::printf("second disc for %d texts named \"Artist\": %.3f s (%d objects on the disc label)\n",
                    texts, seconds, design.GetDiscTemplate()->GetObjectCount());
        design.DeleteContents(true);
    }
    library.DeleteContents(true);
    return 0;
}
