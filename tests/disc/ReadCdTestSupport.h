// What the Read CD tests share: a drive that answers with a recorded table of contents and
// CD-TEXT, tables of contents and CD-TEXT packs built from plain values, the loopback disc
// database, and a message-box hook that records every box and answers from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "disc/CDDB.h"
#include "disc/DiscDeviceApi.h"
#include "disc/DiscTools.h"

namespace rctest {

// A table of contents in MSF form: track starts (minute, second, frame), the last entry being
// the lead-out; `data` marks data tracks.
std::vector<BYTE> Toc(const std::vector<std::vector<int>>& starts, const std::vector<bool>& data = {});
// CD-TEXT packs of an album: performer and title of the album, then of each track.
std::vector<BYTE> CdText(const std::string& performer, const std::string& title,
                         const std::vector<std::string>& trackTitles);

// One CD drive "E:" of a Windows NT system, answering the pass-through requests with `toc` and
// `cdText` (an empty CD-TEXT fails its request). Read from the worker threads: change it only
// while no scan runs.
class RecordedDrive : public CDiscDeviceApi {
public:
    std::vector<BYTE> toc;
    std::vector<BYTE> cdText;
    bool QueryVersion(DWORD* platform, DWORD* major, DWORD* minor) override;
    UINT QueryDriveType(LPCSTR root) override;
    HANDLE OpenDevice(LPCSTR name, DWORD access, DWORD share, DWORD disposition) override;
    BOOL IoControl(HANDLE h, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                   DWORD* returned) override;
    BOOL CloseDevice(HANDLE h) override;
    void ShowPlainMessage(LPCSTR text) override;
};

// The drive, installed as the device calls of every new CDiscTools, and the frame's drive list.
RecordedDrive& Drive();
CDiscTools& Drives();

// The loopback disc database (cddb_server.py, started by the test fixture).
CCDDBSite LoopbackSite();
// A loopback port where nobody listens.
int ClosedPort();

// Every message box shown: its text; answered with the queued results in turn (then with the
// first button's result).
struct Boxes {
    std::vector<std::string> texts;
    std::deque<int> answers;
    Boxes();
    ~Boxes();
    bool Shown(const std::string& text) const;
};

}  // namespace rctest
