// The document shell against real files: Save As and its extension rules, the startup designs and
// their folder order, the newer-version message, every branch of the save question (answered
// through the message-box hook), a failed save that keeps the design and the old file, Save As
// Startup Design writing a copy that leaves the design's own file and state alone or failing with
// the name kept, and a re-linked background written back into startup designs only. "No" to the
// question keeps the design modified until it is replaced; the recent-file road asks too; a file
// without a design is refused; pictures whose file is missing are named; a save removes the
// temporary file a killed save left; a design named outside the code page opens; a picture that
// cannot be decoded is kept and named.
#include <doctest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/AppMessages.h"
#include "app/KorvanelleDoc.h"
#include "app/Settings.h"
#include "model/KorvanelleDocument.h"
#include "model/Folders.h"
#include "GdiplusSession.h"

namespace {

// The view's share: the current design and the template library.
struct TestLink : DesignViewLink {
    bool newProjectOk = false;
    KorvanelleDocument design;
    KorvanelleDocument library;
    int resets = 0;
    bool startupSaved = false;
    TestLink() {
        library.CreateBuiltInTemplates();
        library.ResolveTemplateName("", kCaseDisc);
        library.ResolveTemplateName("", kCaseJewel);
        design.CreateFromTemplates(library.GetDiscTemplate(), library.GetCoverTemplate());
        REQUIRE(design.templates.GetSize() == 2);
    }
    ~TestLink() override {
        design.DeleteContents(true);
        library.DeleteContents(true);
    }
    KorvanelleDocument* CurrentDesign() override { return &design; }
    KorvanelleDocument* TemplateLibrary() override { return &library; }
    void ResetForDocument(KorvanelleDocument* from, BOOL) override {
        design.DeleteContents(true);
        design.MoveFrom(from);
        ++resets;
    }
    void SetStartupDesignSaved() override { startupSaved = true; }
    bool NoteDesignSaved() override { return true; }
    bool AskNewProject(bool createOnCancel, int& kind, int& layout, bool& useStartup) override {
        kind = g_caseKind;
        layout = g_discLayout;
        useStartup = true;
        return newProjectOk || createOnCancel;
    }
};

// A document whose file dialogs answer with prepared paths.
struct TestDoc : KorvanelleDoc {
    CString savePath, openPath;
    int saveAsked = 0;
    bool AskOpenPath(CString& path) override {
        path = openPath;
        return !openPath.IsEmpty();
    }
    bool AskSavePath(CString& path) override {
        ++saveAsked;
        path = savePath;
        return !savePath.IsEmpty();
    }
};

struct Fixture {
    kvtest::TemporaryUserFolders folders;
    TestLink link;
    TestDoc doc;
    CString root;
    Fixture() {
        root = folders.Root().c_str();
        g_openSaveFolder = root + "\\open";
        g_programFolder = root + "\\program";
        g_dataFolder = root + "\\data";
        CreateDirectoryA(g_openSaveFolder, nullptr);
        CreateDirectoryA(g_programFolder, nullptr);
        CreateDirectoryA(g_dataFolder, nullptr);
        g_caseKind = 4;
        g_discLayout = 0;
        SetDesignViewLink(&link);
    }
    ~Fixture() { SetDesignViewLink(nullptr); }
};

std::vector<char> ReadBytes(const CString& path) {
    std::ifstream in((LPCSTR)path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const CString& path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int CountFiles(const CString& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(folder + "\\*", &data);
    int n = 0;
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return n;
}

}  // namespace

TEST_CASE("Save As adds or corrects the extension and writes the design") {
    CHECK(KorvanelleDoc::ApplyDesignExtension("C:\\a\\Cover") == "C:\\a\\Cover.kvl");
    CHECK(KorvanelleDoc::ApplyDesignExtension("C:\\a\\Cover.KVL") == "C:\\a\\Cover.kvl");
    CHECK(KorvanelleDoc::ApplyDesignExtension("C:\\a\\Cover.kvl") == "C:\\a\\Cover.kvl");
    CHECK(KorvanelleDoc::ApplyDesignExtension("C:\\a\\Cover.kv") == "C:\\a\\Cover.kv.kvl");

    Fixture f;
    f.doc.savePath = f.root + "\\Cover";
    f.doc.SetModifiedFlag(TRUE);
    f.doc.OnFileSaveAs();
    const CString written = f.root + "\\Cover.kvl";
    REQUIRE(Exists(written));
    CHECK(f.doc.GetPathName() == written);
    CHECK_FALSE(f.doc.IsModified());
    CHECK(g_lastSavePath == f.root + "\\");
    // Nothing but the design is left in the folder (the temporary file was put in place).
    CHECK(CountFiles(f.root) == 1);

    // The bytes are the model's own.
    CMemFile memory;
    f.link.design.Save(&memory);
    CHECK(ReadBytes(written).size() == (size_t)memory.GetLength());

    // Read back: the design is taken over by the view.
    KorvanelleDocument* before = &f.link.design;
    CHECK(f.doc.LoadFile(written, 1, true, false));
    CHECK(f.link.resets == 1);
    CHECK(&f.link.design == before);
    CHECK(f.link.design.templates.GetSize() == 2);
}

TEST_CASE("a new design carries a startup design's name: the caption says Untitled and Save asks") {
    Fixture f;
    f.doc.NewFromTemplate(5, 3, 1);
    CHECK(f.doc.IsStartupDesign());
    CHECK(f.doc.GetFileName() == "DVD-Template-2-Disc.kvl");
    CHECK(f.link.design.IsTwoDiscLayout());
    f.doc.savePath.Empty();  // the dialog is cancelled
    f.doc.OnFileSave();
    CHECK(f.doc.saveAsked == 1);
    CHECK_FALSE(Exists(g_openSaveFolder + "\\DVD-Template-2-Disc.kvl"));
}

TEST_CASE("startup designs are sought in the open-save, program and data folders in that order") {
    Fixture f;
    const CString name = "CD-Template-1-Disc.kvl";
    auto writeWithArtist = [&](const CString& folder, const char* artist) {
        f.link.design.SetAlbumField("Artist", artist);
        CFile file;
        REQUIRE(file.Open(folder + "\\" + name, CFile::modeCreate | CFile::modeWrite));
        f.link.design.Save(&file);
        file.Close();
    };
    writeWithArtist(g_dataFolder, "from data");
    writeWithArtist(g_programFolder, "from program");
    f.doc.OpenStartupDesign(4, 0, 0);
    // A startup design is filled with the sample album data when it is opened.
    CHECK(f.link.resets == 1);
    CHECK(f.doc.IsStartupDesign());
    CHECK(f.doc.GetPathName() == g_programFolder + "\\" + name);

    writeWithArtist(g_openSaveFolder, "from open-save");
    f.doc.OpenStartupDesign(4, 0, 0);
    CHECK(f.doc.GetPathName() == g_openSaveFolder + "\\" + name);

    // None anywhere: a design from the template library.
    f.doc.OpenStartupDesign(10, 3, 0);
    CHECK(f.doc.GetFileName() == "Bluray-Template-2-Disc.kvl");
    CHECK(f.link.design.HasBlurayCase());
    CHECK(f.link.resets == 3);
}

TEST_CASE("opening: a newer file's message, a damaged file's message, and the fallback") {
    Fixture f;
    CMemFile memory;
    f.link.design.Save(&memory);
    std::vector<unsigned char> bytes(memory.GetLength());
    memory.SeekToBegin();
    memory.Read(bytes.data(), (UINT)bytes.size());
    const size_t schemaAt = 8 + 9 + 13 + 2 + 2;  // the CText record's schema word
    REQUIRE(bytes[schemaAt] == 0xFB);
    bytes[schemaAt] = 0xFC;  // 508
    const CString newer = f.root + "\\newer.kvl";
    {
        std::ofstream out((LPCSTR)newer, std::ios::binary);
        out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    }
    const CString damaged = f.root + "\\damaged.kvl";
    {
        std::ofstream out((LPCSTR)damaged, std::ios::binary);
        out.write((const char*)bytes.data(), 40);
    }
    f.doc.SetPathName(f.root + "\\kept.kvl", FALSE);

    KvMessageBoxCapture boxes(1);
    CHECK_FALSE(f.doc.LoadFile(newer, 1, true, false));
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.Boxes()[0].iconKind == 3);
    CHECK(boxes.LastText().Find("created with a newer version of Korvanelle") >= 0);
    CHECK(f.link.resets == 0);
    CHECK(g_fileVersion == 507);

    CHECK_FALSE(f.doc.LoadFile(damaged, 1, true, false));
    REQUIRE(boxes.Boxes().size() == 2);
    CHECK(boxes.LastText() == "Error opening file:\r\n\r\n" + damaged + "\r\n ");
    CHECK(boxes.Boxes()[1].iconKind == 1);
    // From File > Open a failed open leaves the current design in place.
    CHECK(f.link.resets == 0);
    CHECK(f.doc.GetFileName() == "kept.kvl");

    // From the command line it falls back to the startup design of the saved kind and layout.
    g_caseKind = 5;
    CHECK_FALSE(f.doc.LoadFile(damaged, 0, true, true));
    CHECK(f.link.resets == 1);
    CHECK(f.doc.GetFileName() == "DVD-Template-1-Disc.kvl");
}

TEST_CASE("the save question: every answer") {
    Fixture f;
    const CString path = f.root + "\\Design.kvl";
    f.doc.savePath = path;
    KvMessageBoxCapture boxes;

    SUBCASE("an unmodified design is not asked about") {
        CHECK(f.doc.SaveModified());
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("Cancel keeps the design") {
        f.doc.SetModifiedFlag(TRUE);
        boxes.m_result = IDCANCEL;
        CHECK_FALSE(f.doc.SaveModified());
        CHECK(f.doc.IsModified());
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Save changes to " + f.doc.m_defaultName + "?");
        CHECK(boxes.Boxes()[0].iconKind == 2);
        REQUIRE(boxes.Boxes()[0].buttons.size() == 3);
    }
    SUBCASE("the box's buttons answer with the system's ids; Enter is Yes, any other ending Cancel") {
        boxes.m_result = IDNO;
        CHECK(AskSaveChanges("Cover.kvl") == IDNO);
        const KvMessageBoxCapture::Box& seen = boxes.Boxes().at(0);
        CHECK(seen.text == "Save changes to Cover.kvl?");
        CHECK(seen.iconKind == kBoxWarning);
        REQUIRE(seen.buttons.size() == 3);
        const char* captions[] = {"Yes", "No", "Cancel"};
        const int results[] = {IDYES, IDNO, IDCANCEL};
        for (int i = 0; i < 3; ++i) {
            CHECK(seen.buttons[i].caption == captions[i]);
            CHECK(seen.buttons[i].result == results[i]);
            CHECK(seen.buttons[i].isDefault == (i == 0));
        }
        boxes.m_result = IDOK;  // what the box gives for Enter
        CHECK(AskSaveChanges("Cover.kvl") == IDYES);
        boxes.m_result = -1;  // a box ended from outside
        CHECK(AskSaveChanges("Cover.kvl") == IDCANCEL);
    }
    SUBCASE("Escape counts as Cancel, not as No") {
        f.doc.SetModifiedFlag(TRUE);
        boxes.m_result = IDCANCEL;
        CHECK_FALSE(f.doc.SaveModified());
        CHECK(f.doc.IsModified());
    }
    SUBCASE("No lets the design go, but it stays modified until it is replaced") {
        f.doc.SetModifiedFlag(TRUE);
        boxes.m_result = IDNO;
        CHECK(f.doc.SaveModified());
        CHECK(f.doc.IsModified());
        CHECK_FALSE(Exists(path));
        // Asked once for the whole command.
        CHECK(f.doc.SaveModified());
        CHECK(boxes.Boxes().size() == 1);
    }
    SUBCASE("Yes saves, and only a save that happened lets the design go") {
        f.doc.SetPathName(path, FALSE);
        f.doc.SetModifiedFlag(TRUE);
        boxes.m_result = IDYES;
        CHECK(boxes.LastText().IsEmpty());
        CHECK(f.doc.SaveModified());
        CHECK(boxes.Boxes()[0].text == "Save changes to Design.kvl?");
        CHECK(Exists(path));
        CHECK_FALSE(f.doc.IsModified());
    }
    SUBCASE("Yes with a save that fails keeps the design open and modified, and File > Open does not drop it") {
        f.doc.SetPathName(path, FALSE);
        f.doc.OnFileSave();
        REQUIRE(Exists(path));
        const std::vector<char> before = ReadBytes(path);
        REQUIRE(SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY));
        f.link.design.SetAlbumField("Artist", "changed");
        f.doc.SetModifiedFlag(TRUE);
        boxes.m_result = IDYES;
        CHECK_FALSE(f.doc.SaveModified());
        CHECK(f.doc.IsModified());
        REQUIRE(boxes.Boxes().size() == 2);  // the question, then the error
        CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + path);
        f.doc.openPath = path;
        f.doc.OnFileOpen();
        CHECK(f.link.resets == 0);
        CHECK(f.doc.IsModified());
        CHECK(ReadBytes(path) == before);
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    }
    SUBCASE("Yes with a cancelled Save As keeps the design open and modified") {
        f.doc.NewFromTemplate(4, 0, 1);
        f.doc.SetModifiedFlag(TRUE);
        f.doc.savePath.Empty();
        boxes.m_result = IDYES;
        CHECK_FALSE(f.doc.SaveModified());
        CHECK(f.doc.IsModified());
    }
}

TEST_CASE("a failed save keeps the design modified and the old file as it was") {
    Fixture f;
    const CString path = f.root + "\\Locked.kvl";
    f.doc.savePath = path;
    f.doc.OnFileSaveAs();
    REQUIRE(Exists(path));
    const std::vector<char> before = ReadBytes(path);
    REQUIRE(SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY));

    f.link.design.SetAlbumField("Artist", "changed");
    f.doc.SetModifiedFlag(TRUE);
    KvMessageBoxCapture boxes(1);
    f.doc.OnFileSave();
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + path);
    CHECK(f.doc.IsModified());
    CHECK(ReadBytes(path) == before);
    CHECK(CountFiles(f.root) == 1);  // no temporary file left behind

    // Save As onto it fails too, and the caption keeps the old name.
    f.doc.savePath = f.root + "\\Locked";
    f.doc.SetPathName(f.root + "\\Other.kvl", FALSE);
    f.doc.OnFileSaveAs();
    CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + path);
    CHECK(f.doc.GetFileName() == "Other.kvl");
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("Save As Startup Design writes a copy: the design's own file, changes and settings stay") {
    Fixture f;
    KvMessageBoxCapture boxes;
    boxes.m_result = IDCANCEL;
    // A DVD design with two discs, so the saved kind and layout would change with it.
    f.doc.NewFromTemplate(5, 3, 1);
    const CString own = f.root + "\\Mine.kvl";
    f.doc.savePath = own;
    f.doc.OnFileSaveAs();
    REQUIRE(Exists(own));
    const std::vector<char> ownBefore = ReadBytes(own);
    const CString startup = g_openSaveFolder + "\\DVD-Template-2-Disc.kvl";

    SUBCASE("a failed write changes neither the saved kind and layout nor the design's state") {
        {
            std::ofstream out((LPCSTR)startup, std::ios::binary);
            out << "old";
        }
        REQUIRE(SetFileAttributesA(startup, FILE_ATTRIBUTE_READONLY));
        f.doc.SetModifiedFlag(TRUE);
        f.doc.OnSaveAsStartupDesign();
        SetFileAttributesA(startup, FILE_ATTRIBUTE_NORMAL);
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + startup);
        CHECK(g_caseKind == 4);
        CHECK(g_discLayout == 0);
        CHECK_FALSE(f.link.startupSaved);
        CHECK(f.doc.GetPathName() == own);
        CHECK(f.doc.IsModified());
    }
    SUBCASE("a modified design is still asked about, and its changes reach its own file") {
        f.link.design.SetAlbumField("Artist", "changed");
        f.doc.SetModifiedFlag(TRUE);
        f.doc.OnSaveAsStartupDesign();
        CHECK(boxes.Boxes().empty());
        REQUIRE(Exists(startup));
        CHECK(f.link.startupSaved);
        CHECK(g_caseKind == 5);
        CHECK(g_discLayout == 3);
        CHECK(f.doc.GetPathName() == own);
        CHECK(f.doc.IsModified());
        CHECK(ReadBytes(own) == ownBefore);

        boxes.m_result = IDYES;
        CHECK(f.doc.SaveModified());
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Save changes to Mine.kvl?");
        CHECK(ReadBytes(own) != ownBefore);
        CHECK_FALSE(f.doc.IsModified());
    }
    SUBCASE("an unmodified design stays unmodified") {
        f.doc.OnSaveAsStartupDesign();
        REQUIRE(Exists(startup));
        CHECK_FALSE(f.doc.IsModified());
        CHECK(f.doc.SaveModified());
        CHECK(boxes.Boxes().empty());
    }
}

TEST_CASE("Save As Startup Design into a folder that cannot be made keeps the name and says so") {
    Fixture f;
    f.doc.NewFromTemplate(5, 3, 1);
    const CString kept = f.doc.GetPathName();
    // A file stands where the open-save folder's parent should be: neither can be made.
    const CString blocked = f.root + "\\blocked";
    {
        std::ofstream out((LPCSTR)blocked);
        out << "a file";
    }
    g_openSaveFolder = blocked + "\\Korvanelle";
    const BYTE vista = g_isVistaOrLater;
    g_isVistaOrLater = 1;  // the save tries again after making the folder
    KvMessageBoxCapture boxes;
    f.doc.OnSaveAsStartupDesign();
    g_isVistaOrLater = vista;
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() == "Error saving file:\r\n\r\n" + g_openSaveFolder + "\\DVD-Template-2-Disc.kvl");
    CHECK(f.doc.GetPathName() == kept);
    CHECK(g_caseKind == 4);
    CHECK(g_discLayout == 0);
    CHECK_FALSE(f.link.startupSaved);
}

TEST_CASE("a background re-linked on opening is saved back into a startup design only") {
    Fixture f;
    REQUIRE(kvtest::GdiplusReady());
    CreateDirectoryA(g_programFolder + "\\Backgrounds", nullptr);
    REQUIRE(kvtest::WriteTestPng(g_programFolder + "\\Backgrounds\\Stars.png"));
    // A DVD design with two discs (a save as startup design would change the saved kind and
    // layout) whose background names a picture of the program's instead of carrying it, as older
    // releases wrote them.
    f.doc.NewFromTemplate(5, 3, 1);
    ViewObject* background = new ViewObject;
    background->type = kObjectImage;
    background->name = "Image";
    background->side = 2;
    background->width = background->height = 1000;
    background->imageSource = "Stars.png";
    f.link.design.AddObject(background);
    auto writeOlder = [&](const CString& path) {
        CFile file;
        REQUIRE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.link.design.Save(&file);
    };
    const CString older = f.root + "\\Older.kvl";
    writeOlder(older);
    const CString startupName = "DVD-Template-2-Disc.kvl";
    writeOlder(g_programFolder + "\\" + startupName);
    auto relinkedImages = [&] {
        int n = 0;
        f.link.design.ForEachObject([&](ViewObject* o) {
            if (o->IsImage() && !o->image.IsEmpty() && o->imageSource.IsEmpty()) ++n;
        });
        return n;
    };
    KvMessageBoxCapture boxes;

    // The ordinary design: its picture is back, but nothing is written and no setting changes.
    REQUIRE(f.doc.LoadFile(older, 1, true, false));
    CHECK(relinkedImages() == 1);
    CHECK(CountFiles(g_openSaveFolder) == 0);
    CHECK(g_caseKind == 4);
    CHECK(g_discLayout == 0);
    CHECK_FALSE(f.link.startupSaved);
    CHECK(f.doc.GetPathName() == older);

    // The startup design is written back with its picture, into the open-save folder.
    REQUIRE(f.doc.LoadFile(g_programFolder + "\\" + startupName, 1, true, false));
    CHECK(relinkedImages() == 1);
    CHECK(Exists(g_openSaveFolder + "\\" + startupName));
    CHECK(f.link.startupSaved);
    CHECK(g_caseKind == 5);
    CHECK(g_discLayout == 3);
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("No followed by Cancel, or by a file that fails to open, keeps the edited design modified") {
    Fixture f;
    const CString path = f.root + "\\Edited.kvl";
    f.doc.savePath = path;
    f.doc.OnFileSaveAs();
    REQUIRE(Exists(path));
    f.link.design.SetAlbumField("Artist", "edited");
    f.doc.SetModifiedFlag(TRUE);
    const CString damaged = f.root + "\\damaged.kvl";
    {
        std::ofstream out((LPCSTR)damaged, std::ios::binary);
        out << "no design";
    }
    KvMessageBoxCapture boxes;
    boxes.m_result = IDNO;
    auto checkKept = [&](size_t boxesShown) {
        CHECK(boxes.Boxes().size() == boxesShown);
        CHECK(f.link.resets == 0);
        CHECK(f.doc.IsModified());
        CHECK(f.doc.GetPathName() == path);
        CHECK(f.link.design.GetAlbumField("Artist") == "edited");
    };
    SUBCASE("File > Open cancelled") {
        f.doc.openPath.Empty();
        f.doc.OnFileOpen();
        checkKept(1);
    }
    SUBCASE("File > New with New Project cancelled") {
        f.doc.OnFileNew();
        checkKept(1);
    }
    SUBCASE("a recent file that fails to open") {
        f.doc.OpenByPath(damaged);
        checkKept(2);
        CHECK(boxes.LastText() == "Error opening file:\r\n\r\n" + damaged + "\r\n ");
    }
    // The next command asks again, and "No" with a file that opens replaces the design.
    boxes.Clear();
    f.doc.OpenByPath(path);
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() == "Save changes to Edited.kvl?");
    CHECK(f.link.resets == 1);
    CHECK_FALSE(f.doc.IsModified());
    CHECK(f.link.design.GetAlbumField("Artist") != "edited");
}

TEST_CASE("a recent file asks before it replaces an edited design") {
    Fixture f;
    const CString other = f.root + "\\Other.kvl";
    f.doc.savePath = other;
    f.doc.OnFileSaveAs();
    f.doc.NewFromTemplate(4, 0, 1);
    f.doc.SetModifiedFlag(TRUE);
    KvMessageBoxCapture boxes;
    SUBCASE("Cancel") {
        boxes.m_result = IDCANCEL;
        f.doc.OpenByPath(other);
        CHECK(f.link.resets == 1);
        CHECK(f.doc.IsModified());
        CHECK(f.doc.IsStartupDesign());
    }
    SUBCASE("Yes, and the save is cancelled") {
        boxes.m_result = IDYES;
        f.doc.savePath.Empty();
        f.doc.OpenByPath(other);
        CHECK(f.link.resets == 1);
        CHECK(f.doc.IsModified());
    }
    SUBCASE("New Project OK after No") {
        boxes.m_result = IDNO;
        f.link.newProjectOk = true;
        f.doc.OnFileNew();
        CHECK(f.link.resets == 2);
        CHECK_FALSE(f.doc.IsModified());
        // Asked once, though the startup design is opened after the dialog.
        CHECK(boxes.Boxes().size() == 1);
    }
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.Boxes()[0].text == "Save changes to Untitled.kvl?");
}

TEST_CASE("a file without a design is refused with the open error") {
    Fixture f;
    f.doc.SetPathName(f.root + "\\kept.kvl", FALSE);
    auto write = [&](const CString& path, KorvanelleDocument& source) {
        CFile file;
        REQUIRE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        source.Save(&file);
    };
    KorvanelleDocument empty;
    const CString noTemplate = f.root + "\\no template.kvl";
    write(noTemplate, empty);
    const CString library = f.root + "\\templates.kvl";
    write(library, f.link.library);
    KvMessageBoxCapture boxes;
    for (const CString& path : {noTemplate, library}) {
        CAPTURE(std::string((LPCSTR)path));
        boxes.Clear();
        CHECK_FALSE(f.doc.LoadFile(path, 1, true, false));
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Error opening file:\r\n\r\n" + path + "\r\n ");
        CHECK(f.link.resets == 0);
        CHECK(f.doc.GetFileName() == "kept.kvl");
    }
    empty.DeleteContents(true);
}

TEST_CASE("pictures whose file is missing are named to the user when the design opens") {
    Fixture f;
    REQUIRE(kvtest::GdiplusReady());
    for (const char* name : {"Sleeve.png", "Band photo.jpg"}) {
        ViewObject* picture = new ViewObject;
        picture->type = kObjectImage;
        picture->name = "Image";
        picture->side = 2;
        picture->width = picture->height = 1000;
        picture->imageSource = name;
        f.link.design.AddObject(picture);
    }
    const CString path = f.root + "\\Linked.kvl";
    {
        CFile file;
        REQUIRE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.link.design.Save(&file);
    }
    KvMessageBoxCapture boxes;
    SUBCASE("on opening") {
        REQUIRE(f.doc.LoadFile(path, 1, true, false));
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() ==
              "These pictures were not found and were left out of the design:\r\n\r\nSleeve.png\r\nBand "
              "photo.jpg");
        CHECK(boxes.Boxes()[0].iconKind == 2);
    }
    SUBCASE("on saving") {
        f.doc.SetPathName(path, FALSE);
        f.doc.OnFileSave();
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() ==
              "These pictures were not found and are not in the saved file:\r\n\r\nSleeve.png\r\nBand "
              "photo.jpg");
    }
}

TEST_CASE("a design holding a picture that cannot be decoded opens, keeps it and names it to the user") {
    Fixture f;
    REQUIRE(kvtest::GdiplusReady());
    // Its BMP's pixels lie outside its bytes.
    const CString path = CString("Z:") + KV_HOSTILE_DATA_DIR + "/design-bmp-pixel-offset-crash.kvl";
    KvMessageBoxCapture boxes;
    REQUIRE(f.doc.LoadFile(path, 1, true, false));
    // After the box naming its linked picture whose file is not on this machine.
    REQUIRE(boxes.Boxes().size() == 2);
    CHECK(boxes.LastText() ==
          "These pictures could not be read; the design keeps them, but they are not shown:\r\n\r\nImage on "
          "Disc 1");
    CHECK(boxes.Boxes()[1].iconKind == 2);
    int kept = 0;
    f.link.design.ForEachObject([&](ViewObject* o) { kept += o->IsImage() && !o->image.IsEmpty(); });
    CHECK(kept >= 1);
    CHECK_FALSE(f.doc.IsModified());
}

TEST_CASE("a design holding a picture too large to decode says so when it opens") {
    Fixture f;
    REQUIRE(kvtest::GdiplusReady());
    // A PNG whose header claims 10,001 x 10,000 pixels.
    const BYTE header[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0,    0,    0, 13, 'I', 'H', 'D', 'R', 0,
                           0,    0x27, 0x11, 0,  0,    0x27, 0x10, 8,    2,    0,    0, 0,  0,   0,   0,   0};
    ViewObject* picture = new ViewObject;
    picture->type = kObjectImage;
    picture->name = "Huge";
    picture->side = 2;
    picture->width = picture->height = 1000;
    REQUIRE(picture->image.SetBytes(header, sizeof header));
    f.link.design.AddObject(picture);
    const CString path = f.root + "\\Huge.kvl";
    {
        CFile file;
        REQUIRE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.link.design.Save(&file);
    }
    KvMessageBoxCapture boxes;
    REQUIRE(f.doc.LoadFile(path, 1, true, false));
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() ==
          "These pictures are too large to be shown (pictures of up to 100 megapixels can be used, as far as the "
          "memory left allows); the design keeps them:\r\n\r\nHuge");
}

TEST_CASE("a save removes the temporary file a killed save of the same design left behind") {
    Fixture f;
    const CString path = f.root + "\\Cover.kvl";
    const CString stale = KorvanelleDoc::SavingFileOf(path);
    CHECK(stale == path + ".saving");
    {
        std::ofstream out((LPCSTR)stale, std::ios::binary);
        out << std::string(5000, 'x');
    }
    REQUIRE(SetFileAttributesA(stale, FILE_ATTRIBUTE_READONLY));
    f.doc.savePath = path;
    f.doc.OnFileSaveAs();
    REQUIRE(Exists(path));
    CHECK_FALSE(Exists(stale));
    CHECK(CountFiles(f.root) == 1);
    KorvanelleDocument back;
    CHECK(back.Load(path));
    back.DeleteContents(true);
}

TEST_CASE("a design whose name is outside the code page opens under that name") {
    Fixture f;
    std::wstring wideRoot;
    for (int i = 0; i < f.root.GetLength(); ++i) wideRoot += static_cast<wchar_t>((unsigned char)f.root[i]);
    const std::wstring widePath =
        wideRoot +
        L"\\\x041E\x0431\x043B\x043E\x0436\x043A\x0430 \x0430\x043B\x044C\x0431\x043E\x043C\x0430.kvl";
    {
        CMemFile memory;
        f.link.design.Save(&memory);
        std::vector<unsigned char> bytes((size_t)memory.GetLength());
        memory.SeekToBegin();
        memory.Read(bytes.data(), (UINT)bytes.size());
        HANDLE file = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        REQUIRE(file != INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
    }
    const CString narrow = AfxNarrowOf(widePath.c_str());
    CAPTURE(std::string((LPCSTR)narrow));
    CHECK(narrow.Find('?') < 0);
    KvMessageBoxCapture boxes;
    CHECK(f.doc.LoadFile(narrow, 1, true, false));
    CHECK(boxes.Boxes().empty());
    CHECK(f.link.resets == 1);
    // A name that fits the code page stays as it is.
    CHECK(AfxNarrowOf(L"C:\\Covers\\Album art.kvl") == "C:\\Covers\\Album art.kvl");
}
