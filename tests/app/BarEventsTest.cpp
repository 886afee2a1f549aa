// Handler lists of the bars' events and the text rules the frame applies to edited fields.
#include <doctest.h>

#include <string>
#include <vector>

#include "app/BarEvents.h"

namespace {

struct Receiver {
    std::vector<std::string>* log = nullptr;
    std::string name;
    void OnPing() { log->push_back(name + ":ping"); }
    void OnPong() { log->push_back(name + ":pong"); }
    void OnText(CString& text, CEditText* field) {
        log->push_back(name + ":" + std::string((LPCSTR)text) + (field ? ":field" : ":none"));
        text = "changed";
    }
    void OnTrack(int count, CString objectName) {
        log->push_back(name + ":" + std::to_string(count) + ":" + (LPCSTR)objectName);
    }
};

struct SelfUnhooker {
    CBarEvent<>* event = nullptr;
    int calls = 0;
    void OnPing() {
        ++calls;
        event->Unhook(this, &SelfUnhooker::OnPing);
    }
};

}  // namespace

TEST_CASE("hooking, raising and unhooking") {
    std::vector<std::string> log;
    Receiver a{&log, "a"}, b{&log, "b"};
    CBarEvent<> ev;
    CHECK(ev.IsEmpty());
    ev.Raise();  // an empty list does nothing
    CHECK(log.empty());

    CHECK(ev.Hook(&a, &Receiver::OnPing) == 0);
    CHECK(ev.Hook(&b, &Receiver::OnPing) == 0);
    CHECK(ev.Hook(&a, &Receiver::OnPong) == 0);
    ev.Raise();
    // Newest first.
    CHECK(log == std::vector<std::string>{"a:pong", "b:ping", "a:ping"});

    // Never hooked: 1, nothing changes.
    CHECK(ev.Unhook(&b, &Receiver::OnPong) == 1);
    CHECK(ev.GetCount() == 3);
    // Same function, other receiver: only that node goes.
    CHECK(ev.Unhook(&b, &Receiver::OnPing) == 0);
    CHECK_FALSE(ev.IsHooked(&b));
    CHECK(ev.IsHooked(&a));
    log.clear();
    ev.Raise();
    CHECK(log == std::vector<std::string>{"a:pong", "a:ping"});

    // A pair hooked twice is called twice and unhooked one node at a time.
    ev.Hook(&a, &Receiver::OnPing);
    log.clear();
    ev.Raise();
    CHECK(log.size() == 3);
    CHECK(ev.Unhook(&a, &Receiver::OnPing) == 0);
    CHECK(ev.Unhook(&a, &Receiver::OnPing) == 0);
    CHECK(ev.Unhook(&a, &Receiver::OnPing) == 1);
    CHECK(ev.Unhook(&a, &Receiver::OnPong) == 0);
    CHECK(ev.IsEmpty());
}

TEST_CASE("arguments reach every handler unchanged, references included") {
    std::vector<std::string> log;
    Receiver a{&log, "a"}, b{&log, "b"};
    BarUpdateTextEvent ev;
    ev.Hook(&a, &Receiver::OnText);
    ev.Hook(&b, &Receiver::OnText);
    CString text = "hello";
    ev.Raise(text, nullptr);
    // b (newest) sees the original and changes it through the reference; a sees the change.
    CHECK(log == std::vector<std::string>{"b:hello:none", "a:changed:none"});
    CHECK(text == CString("changed"));

    TrackChangeEvent tracks;
    tracks.Hook(&a, &Receiver::OnTrack);
    log.clear();
    tracks.Raise(12, CString("Track List 1"));
    CHECK(log == std::vector<std::string>{"a:12:Track List 1"});
}

TEST_CASE("a handler may unhook itself while the event is raised") {
    CBarEvent<> ev;
    SelfUnhooker s;
    s.event = &ev;
    std::vector<std::string> log;
    Receiver a{&log, "a"};
    ev.Hook(&a, &Receiver::OnPing);
    ev.Hook(&s, &SelfUnhooker::OnPing);
    ev.Raise();
    ev.Raise();
    CHECK(s.calls == 1);
    CHECK(log.size() == 2);
}

TEST_CASE("field text rules") {
    CString raw(
        "a\r\nb\tc\x08"
        "d");
    CHECK(CleanFieldText(raw) == CString("a\rb cd"));
    CHECK(IsTrackListName("Track List 2"));
    CHECK_FALSE(IsTrackListName("Track Lis"));
    CHECK(PageObjectName(1) == CString("Page 1"));
}

TEST_CASE("track-list records grow and shrink") {
    CString two;
    two = ResizeTrackList("", 2, " (live)");
    CHECK(two == CString("1. \x08Track 1 (live)\x08 0:01\x08"
                         "2. \x08Track 2 (live)\x08 0:02\x08"));
    CHECK(CountTrackRecords(two) == 2);
    // The same count changes nothing.
    CHECK(ResizeTrackList(two, 2, "") == two);
    // Shrinking cuts right after the end of the last kept record.
    CString one = ResizeTrackList(two, 1, "");
    CHECK(one == CString("1. \x08Track 1 (live)\x08 0:01\x08"));
    // Growing keeps the existing records and numbers on.
    CString three = ResizeTrackList(one, 3, "");
    CHECK(CountTrackRecords(three) == 3);
    CHECK(three.Find("3. \x08Track 3\x08 0:03\x08") > 0);
    // A count of 0 matches no record end: the text stays.
    CHECK(ResizeTrackList(two, 0, "") == two);
    // A partial record is not counted.
    CHECK(CountTrackRecords("a\x08"
                            "b\x08") == 0);
}
