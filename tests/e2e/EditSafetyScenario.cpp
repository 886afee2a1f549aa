// Edit safety: an edited design and every way of replacing it - a recent file, File > Open, File >
// New, File > Exit and the end of the Windows session - each tried with every answer to the save
// question (Yes, No, Cancel, and No followed by Cancel in the next dialog, by a recent file that
// no longer opens or by a file that holds no design). After each, the design on screen (caption and album field), whether it is
// still modified (the next command asks again, or does not), its undo list (the Undo button) and
// the design files on disk are what the user chose. One design bears a name outside the ANSI code
// page.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <iostream>
#include <thread>

#include "AppDriver.h"
#include "ScenarioSupport.h"
#include "model/KorvanelleDocument.h"
#include "res/CommandIds.h"
#include "res/ControlsIds.h"

using namespace e2e;

namespace {

const DWORD kEffect = 30000;
const int kMainBarId = 1054;
const int kArtistId = 1201;
const UINT kRecentFirst = ID_FILE_MRU_FILE1_CMD;

struct Design {
    const char* file;
    const char* artist;
    std::string path;
};

HWND Child(HWND parent, int id) {
    return FindDescendant(parent, [id](HWND h) { return ::GetDlgCtrlID(h) == id && ::IsWindowVisible(h); });
}

HWND FocusOf(HWND anyWindowOfThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info);
    return info.hwndFocus;
}

// A design of the built-in jewel case whose album names `artist`.
bool WriteDesign(const std::string& path, const char* artist) {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    library.ResolveTemplateName("", kCaseDisc);
    library.ResolveTemplateName("", kCaseJewel);
    KorvanelleDocument design;
    design.CreateFromTemplates(library.GetDiscTemplate(), library.GetCoverTemplate());
    design.SetAlbumField("Artist", artist);
    CFile file;
    bool ok = file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite) != FALSE;
    if (ok) {
        design.Save(&file);
        file.Close();
    }
    design.DeleteContents(true);
    library.DeleteContents(true);
    return ok;
}

// A document file that reads but holds no design (no label template).
bool WriteEmptyDocument(const std::string& path) {
    KorvanelleDocument empty;
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) return false;
    empty.Save(&file);
    file.Close();
    return true;
}

// The artist texts the user inserted into the design in `path` (-1: it does not read).
int InsertedTexts(const std::string& path) {
    KorvanelleDocument design;
    if (!design.Load(path.c_str())) return -1;
    int n = 0;
    design.ForEachObject([&](ViewObject* o) { n += BaseNameOf(o->name) == "Artist"; });
    design.DeleteContents(true);
    return n;
}

class EditSafety {
public:
    explicit EditSafety(AppDriver& app) : m_app(app) {}

    // An edit as a user makes it: Edit > Insert > Artist, one step on the undo list.
    void Edit() {
        REQUIRE(m_app.Run(ID_INSERT_ARTIST));
        CHECK(WaitFor([&] { return UndoEnabled(); }, kEffect));
    }

    bool UndoEnabled() const {
        HWND bar = Child(m_app.Main(), kMainBarId);
        return bar != nullptr && ::SendMessageA(bar, TB_ISBUTTONENABLED, ID_EDIT_UNDO_CMD, 0) != 0;
    }

    // The design on screen: its caption, its artist (null: not looked at) and its undo list.
    void Shows(const char* file, const char* artist, bool undo) {
        const std::string shown = file;
        CAPTURE(shown);
        const std::string caption = std::string(file) + " - Korvanelle";
        CHECK(WaitFor([&] { return WindowText(m_app.Main()) == caption; }, kEffect));
        if (artist != nullptr) {
            HWND field = Child(m_app.Main(), kArtistId);
            CHECK(WaitFor([&] { return field != nullptr && WindowText(field) == artist; }, kEffect));
        }
        CHECK(WaitFor([&] { return UndoEnabled() == undo; }, kEffect));
    }

    // The save question about `file`, waited for.
    HWND Question(const char* file) {
        const std::string asked = file;
        CAPTURE(asked);
        HWND box = m_app.WaitForMessageBox(kEffect);
        REQUIRE(box != nullptr);
        CHECK(AppDriver::MessageText(box) == std::string("Save changes to ") + file + "?");
        return box;
    }

    // The box answered by the result id of a button (IDYES, IDNO, IDCANCEL, IDOK).
    void Answer(HWND box, int result) {
        CAPTURE(result);
        REQUIRE(m_app.Answer(box, result));
        REQUIRE(WaitFor([&] { return !::IsWindow(box); }, kEffect));
    }

    // A command that asks about `file`, answered with `result`.
    void AskedAndAnswered(UINT command, const char* file, int result) {
        m_app.Command(command);
        Answer(Question(file), result);
    }

    HWND Dialog(const char* caption) {
        HWND dialog = m_app.WaitForDialog(caption, kEffect);
        REQUIRE(dialog != nullptr);
        return dialog;
    }

    void Close(HWND dialog, const char* button) {
        const std::string pressed = button;
        CAPTURE(pressed);
        REQUIRE(m_app.PressButton(dialog, button));
        REQUIRE(WaitFor([&] { return !::IsWindow(dialog); }, kEffect));
    }

    // File > Open's dialog: the file is named and opened.
    void OpenIn(HWND dialog, const std::string& path) {
        HWND nameBox = nullptr;
        REQUIRE(WaitFor(
            [&] {
                nameBox = FocusOf(dialog);
                return nameBox != nullptr && ClassName(nameBox) == "Edit" &&
                       ::GetAncestor(nameBox, GA_ROOT) == dialog;
            },
            kEffect));
        ::SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        Close(dialog, "Open");
    }

    // An unmodified design: File > Open shows its dialog at once, without a question.
    void Unmodified() {
        m_app.Command(ID_FILE_OPEN_CMD);
        HWND dialog = m_app.WaitForWindow(
            [&](HWND h) { return AppDriver::IsMessageBox(h) || WindowText(h) == "Open"; }, kEffect);
        REQUIRE(dialog != nullptr);
        CHECK_FALSE(AppDriver::IsMessageBox(dialog));
        if (AppDriver::IsMessageBox(dialog)) {
            Answer(dialog, IDCANCEL);
            return;
        }
        Close(dialog, "Cancel");
    }

    // Windows ends the session: the program is asked (the save question is answered with
    // `result`), then told whether the session ends. Returns the program's answer.
    bool EndSession(const char* file, int result, bool sessionEnds) {
        HWND main = m_app.Main();
        DWORD_PTR mayEnd = 0;
        std::thread ask([&] {
            ::SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 60000,
                                  &mayEnd);
        });
        HWND box = m_app.WaitForMessageBox(kEffect);
        if (box != nullptr) {
            CHECK(AppDriver::MessageText(box) == std::string("Save changes to ") + file + "?");
            m_app.Answer(box, result);
        }
        ask.join();
        REQUIRE(box != nullptr);
        DWORD_PTR unused = 0;
        ::SendMessageTimeoutA(main, WM_ENDSESSION, sessionEnds && mayEnd ? TRUE : FALSE, ENDSESSION_LOGOFF,
                              SMTO_NORMAL, 60000, &unused);
        return mayEnd != 0;
    }

private:
    AppDriver& m_app;
};

}  // namespace

TEST_CASE("edit_safety") {
    ScenarioClock clock;
    Design a = {"Harbour.kvl", "Harbour Lights", OutDir() + "\\Harbour.kvl"};
    Design b = {"Northern.kvl", "Northern Road", OutDir() + "\\Northern.kvl"};
    Design c = {"Cinder.kvl", "Cinder Path", OutDir() + "\\Cinder.kvl"};
    for (const Design* d : {&a, &b, &c}) REQUIRE(WriteDesign(d->path, d->artist));
    const std::vector<unsigned char> aBytes = ReadBytes(a.path), bBytes = ReadBytes(b.path);
    const std::string quoted = "\"" + c.path + "\"";

    {
        AppDriver app;
        REQUIRE(StartReady(app, quoted) != nullptr);
        EditSafety s(app);
        s.Shows(c.file, c.artist, false);
        // The recent list becomes Harbour, Northern, Cinder (an unmodified design is not asked about).
        s.Unmodified();
        for (const Design* d : {&b, &a}) {
            app.Command(ID_FILE_OPEN_CMD);
            s.OpenIn(s.Dialog("Open"), d->path);
            s.Shows(d->file, d->artist, false);
        }
        s.Edit();

        // Cancel, and No followed by Cancel: the edited design stays, modified, with its undo list.
        s.AskedAndAnswered(kRecentFirst + 1, a.file, IDCANCEL);
        s.Shows(a.file, a.artist, true);
        s.AskedAndAnswered(ID_FILE_OPEN_CMD, a.file, IDCANCEL);
        s.Shows(a.file, a.artist, true);
        s.AskedAndAnswered(ID_FILE_NEW_CMD, a.file, IDCANCEL);
        s.Shows(a.file, a.artist, true);
        s.AskedAndAnswered(ID_FILE_OPEN_CMD, a.file, IDNO);
        s.Close(s.Dialog("Open"), "Cancel");
        s.Shows(a.file, a.artist, true);
        s.AskedAndAnswered(ID_FILE_NEW_CMD, a.file, IDNO);
        s.Close(s.Dialog("New Project"), "Cancel");
        s.Shows(a.file, a.artist, true);
        // A recent file that no longer opens.
        const std::vector<unsigned char> broken(200, 0x5A);
        REQUIRE(WriteBytes(c.path, broken));
        s.AskedAndAnswered(kRecentFirst + 2, a.file, IDNO);
        HWND error = app.WaitForMessageBox(kEffect);
        REQUIRE(error != nullptr);
        CHECK(AppDriver::MessageText(error).find("Error opening file") != std::string::npos);
        s.Answer(error, IDOK);
        s.Shows(a.file, a.artist, true);
        // File > Open of a file that reads but holds no design: refused the same way, the design
        // and its undo list stay.
        const std::string empty = OutDir() + "\\Empty.kvl";
        REQUIRE(WriteEmptyDocument(empty));
        s.AskedAndAnswered(ID_FILE_OPEN_CMD, a.file, IDNO);
        s.OpenIn(s.Dialog("Open"), empty);
        error = app.WaitForMessageBox(kEffect);
        REQUIRE(error != nullptr);
        CHECK(AppDriver::MessageText(error).find("Error opening file") != std::string::npos);
        s.Answer(error, IDOK);
        s.Shows(a.file, a.artist, true);
        s.AskedAndAnswered(ID_APP_EXIT_CMD, a.file, IDCANCEL);
        CHECK(app.Running());
        s.Shows(a.file, a.artist, true);
        // The end of the session: refused by the user, then agreed to but cancelled by another
        // program. The design stays modified either way.
        CHECK_FALSE(s.EndSession(a.file, IDCANCEL, false));
        CHECK(s.EndSession(a.file, IDNO, false));
        CHECK(app.Running());
        s.Shows(a.file, a.artist, true);
        CHECK(ReadBytes(a.path) == aBytes);

        // No: the recent file replaces the edited design, which is not written.
        s.AskedAndAnswered(kRecentFirst + 1, a.file, IDNO);
        s.Shows(b.file, b.artist, false);
        CHECK(ReadBytes(a.path) == aBytes);
        s.Unmodified();  // recent: Northern, Harbour, Cinder
        // No, and File > Open reads the design's own file again: the edit is dropped, not written.
        s.Edit();
        s.AskedAndAnswered(ID_FILE_OPEN_CMD, b.file, IDNO);
        s.OpenIn(s.Dialog("Open"), b.path);
        s.Shows(b.file, b.artist, false);
        CHECK(ReadBytes(b.path) == bBytes);
        s.Unmodified();

        // Yes: the edit is written first, then the design is replaced.
        s.Edit();
        s.AskedAndAnswered(kRecentFirst + 1, b.file, IDYES);
        s.Shows(a.file, a.artist, false);
        CHECK(InsertedTexts(b.path) == 1);
        s.Unmodified();
        // Edit, Ctrl+Z, Save, Ctrl+Y: the edit is back and not in the file, so Exit asks; Ctrl+Z
        // goes back to what the file holds, and nothing asks.
        s.Edit();
        app.Key('Z', true);
        CHECK(WaitFor([&] { return !s.UndoEnabled(); }, kEffect));
        REQUIRE(app.Run(ID_FILE_SAVE_CMD));
        app.Key('Y', true);
        CHECK(WaitFor([&] { return s.UndoEnabled(); }, kEffect));
        s.AskedAndAnswered(ID_APP_EXIT_CMD, a.file, IDCANCEL);
        app.Key('Z', true);
        CHECK(WaitFor([&] { return !s.UndoEnabled(); }, kEffect));
        s.Unmodified();
        s.Edit();
        s.AskedAndAnswered(ID_FILE_OPEN_CMD, a.file, IDYES);
        s.OpenIn(s.Dialog("Open"), b.path);
        s.Shows(b.file, b.artist, false);
        CHECK(InsertedTexts(a.path) == 1);
        s.Unmodified();
        // Yes when the session ends, which another program then cancels: written, and the design
        // stays, no longer modified.
        s.Edit();
        CHECK(s.EndSession(b.file, IDYES, false));
        CHECK(InsertedTexts(b.path) == 2);
        s.Shows(b.file, b.artist, true);
        s.Unmodified();
        s.Edit();
        s.AskedAndAnswered(ID_FILE_NEW_CMD, b.file, IDYES);
        s.Close(s.Dialog("New Project"), "OK");
        s.Shows("Untitled.kvl", nullptr, false);
        CHECK(InsertedTexts(b.path) == 3);
        s.Unmodified();
        s.Edit();
        s.AskedAndAnswered(ID_FILE_NEW_CMD, "Untitled.kvl", IDNO);
        s.Close(s.Dialog("New Project"), "OK");
        s.Shows("Untitled.kvl", nullptr, false);
        s.Unmodified();

        // No at exit: the program ends and writes no design.
        s.Edit();
        const std::vector<unsigned char> aSaved = ReadBytes(a.path), bSaved = ReadBytes(b.path);
        s.AskedAndAnswered(ID_APP_EXIT_CMD, "Untitled.kvl", IDNO);
        CHECK(app.WaitForExit(kEffect));
        CHECK(app.ExitCode() == 0);
        CHECK(ReadBytes(a.path) == aSaved);
        CHECK(ReadBytes(b.path) == bSaved);
        CHECK(ReadBytes(c.path) == broken);
    }
    {
        // Yes at exit: the edit is written, then the program ends. The design bears a name outside
        // the ANSI code page, given on the command line: the program opens and writes it under
        // that name, and names it so in the caption and the question.
        const std::string out = OutDir();
        const std::wstring wideName =
            L"\x041E\x0431\x043B\x043E\x0436\x043A\x0430 \x0430\x043B\x044C\x0431\x043E\x043C\x0430.kvl";
        const std::wstring widePath = std::wstring(out.begin(), out.end()) + L"\\" + wideName;
        REQUIRE(::CopyFileW(std::wstring(a.path.begin(), a.path.end()).c_str(), widePath.c_str(), FALSE));
        AppDriver app;
        REQUIRE(app.StartWide(L"\"" + widePath + L"\""));
        REQUIRE(app.WaitForMainWindow(30000) != nullptr);
        REQUIRE(app.WaitForSplashGone(20000));
        CHECK(app.WaitForMessageBox(500) == nullptr);
        EditSafety s(app);
        // The caption names it as given; its narrow text shows the code page's stand-ins.
        char shown[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wideName.c_str(), -1, shown, MAX_PATH, nullptr, nullptr);
        s.Shows(shown, a.artist, false);
        wchar_t caption[MAX_PATH] = {};
        ::InternalGetWindowText(app.Main(), caption, MAX_PATH);
        CHECK(std::wstring(caption) == wideName + L" - Korvanelle");
        s.Edit();
        app.Command(ID_APP_EXIT_CMD);
        HWND box = s.Question(shown);
        CHECK(WideWindowText(::GetDlgItem(box, IDC_MSGBOX_TEXT)) == L"Save changes to " + wideName + L"?");
        s.Answer(box, IDYES);
        CHECK(app.WaitForExit(kEffect));
        CHECK(app.ExitCode() == 0);
        CHECK(InsertedTexts(static_cast<const char*>(AfxNarrowOf(widePath.c_str()))) == 2);
        CHECK(InsertedTexts(a.path) == 1);
    }
    {
        // No when the session really ends: nothing is written, and Windows ends the program.
        AppDriver app;
        REQUIRE(StartReady(app, "\"" + b.path + "\"") != nullptr);
        EditSafety s(app);
        s.Shows(b.file, b.artist, false);
        const std::vector<unsigned char> bSaved = ReadBytes(b.path);
        s.Edit();
        CHECK(s.EndSession(b.file, IDNO, true));
        CHECK(ReadBytes(b.path) == bSaved);
        CHECK(app.Running());
    }
    // Nothing but the three designs was written beside them (no temporary files left).
    WIN32_FIND_DATAA found = {};
    int files = 0;
    HANDLE find = ::FindFirstFileA((OutDir() + "\\*.*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name.find(".saving") != std::string::npos || name.find(".tmp") != std::string::npos) ++files;
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    CHECK(files == 0);
}
