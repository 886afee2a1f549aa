// CDiscTools against recorded drive replies, and the disc identifiers of real discs.
#include <doctest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "disc/DiscTools.h"

namespace {

// Builds a READ TOC reply (MSF) from absolute frame offsets and the lead-out.
std::vector<BYTE> MakeToc(int first, const std::vector<long>& frames, long leadOut,
                          const std::vector<BYTE>& controls = {}) {
    std::vector<BYTE> toc(CDiscTools::kTocSize, 0);
    int n = (int)frames.size();
    int len = 2 + 8 * (n + 1);
    toc[0] = (BYTE)(len >> 8);
    toc[1] = (BYTE)len;
    toc[2] = (BYTE)first;
    toc[3] = (BYTE)(first + n - 1);
    for (int i = 0; i <= n; ++i) {
        long f = i < n ? frames[i] : leadOut;
        BYTE* d = &toc[4 + 8 * i];
        d[1] = i < n && i < (int)controls.size() ? controls[i] : 0x10;
        d[2] = i < n ? (BYTE)(first + i) : 0xAA;
        d[5] = (BYTE)(f / 75 / 60);
        d[6] = (BYTE)(f / 75 % 60);
        d[7] = (BYTE)(f % 75);
    }
    return toc;
}

// CD-TEXT packs: each text of a kind, zero-terminated, cut into 12-byte pieces.
struct PackWriter {
    std::vector<BYTE> buf = std::vector<BYTE>(CDiscTools::kCdTextSize, 0);
    int count = 0;
    void Texts(BYTE type, const std::vector<std::string>& texts) {
        std::string all;
        std::vector<int> trackOfChar;
        for (size_t t = 0; t < texts.size(); ++t) {
            for (size_t i = 0; i <= texts[t].size(); ++i) trackOfChar.push_back((int)t);
            all += texts[t];
            all += '\0';
        }
        for (size_t pos = 0; pos < all.size(); pos += 12) {
            BYTE* p = &buf[4 + 18 * count];
            p[0] = type;
            p[1] = (BYTE)trackOfChar[pos];
            p[2] = (BYTE)count;
            p[3] = 0;
            for (int i = 0; i < 12 && pos + i < all.size(); ++i) p[4 + i] = (BYTE)all[pos + i];
            ++count;
        }
    }
};

// Recorded replies instead of a drive.
class FakeDrive : public CDiscDeviceApi {
public:
    DWORD platform = 2, major = 6, minor = 1;
    std::string cdLetters = "E";
    std::vector<BYTE> toc;     // reply of the pass-through READ TOC
    std::vector<BYTE> cdText;  // reply of the CD-TEXT read; empty: the request fails
    bool passThroughFails = false;
    bool classReadTocWorks = false;
    bool openFails = false;
    int opens = 0, closes = 0, passThroughCalls = 0;
    std::vector<DWORD> ioctls;
    std::vector<DWORD> accessModes;

    bool QueryVersion(DWORD* p, DWORD* ma, DWORD* mi) override {
        *p = platform;
        *ma = major;
        *mi = minor;
        return true;
    }
    UINT QueryDriveType(LPCSTR root) override {
        return cdLetters.find(root[0]) != std::string::npos ? DRIVE_CDROM : DRIVE_FIXED;
    }
    HANDLE OpenDevice(LPCSTR name, DWORD access, DWORD, DWORD) override {
        accessModes.push_back(access);
        lastOpened = name;
        if (openFails) return INVALID_HANDLE_VALUE;
        ++opens;
        return (HANDLE)0x1234;
    }
    BOOL IoControl(HANDLE, DWORD code, void* in, DWORD, void* out, DWORD outSize, DWORD* ret) override {
        ioctls.push_back(code);
        if (code == 0x4D014) {
            ++passThroughCalls;
            if (passThroughFails) return FALSE;
            BYTE* req = (BYTE*)in;
            BYTE format = req[28 + 2];
            DWORD len = *(DWORD*)(req + 12);
            BYTE* data = *(BYTE**)(req + 20);
            const std::vector<BYTE>& src = format == 5 ? cdText : toc;
            if (src.empty()) return FALSE;
            memcpy(data, src.data(), std::min<size_t>(len, src.size()));
            *ret = 80;
            return TRUE;
        }
        if (code == 0x24000) {
            if (!classReadTocWorks) return FALSE;
            memcpy(out, toc.data(), std::min<size_t>(outSize, toc.size()));
            return TRUE;
        }
        return TRUE;
    }
    BOOL CloseDevice(HANDLE) override {
        ++closes;
        return TRUE;
    }
    int LoadAspi() override { return aspiLoad; }
    int aspiLoad = 1;
    std::string lastOpened;
    std::vector<std::string> messages;
    void ShowPlainMessage(LPCSTR text) override { messages.push_back(text); }
};

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::stringstream ss(s);
    std::string item;
    while (std::getline(ss, item, sep)) out.push_back(item);
    return out;
}

}  // namespace

TEST_CASE("disc identifiers and query commands of real tables of contents") {
    CDiscTools tools;
    SUBCASE("the worked example: 0:02, 3:30, 7:00, lead-out 10:00") {
        std::vector<BYTE> toc = MakeToc(1, {150, 210 * 75, 420 * 75}, 600 * 75);
        CHECK(tools.ComputeDiscId(toc.data()) == 0x0B025603u);
        CHECK(std::string(tools.BuildQueryCommand(toc.data())) ==
              "cddb+query+0b025603+3+150+15750+31500+600");
    }
    SUBCASE("published vectors") {
        std::ifstream in("discid-vectors.tsv");
        REQUIRE(in.good());
        std::string line;
        std::getline(in, line);  // column names
        int checked = 0;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            std::vector<std::string> cols = Split(line, '\t');
            REQUIRE(cols.size() >= 4);
            std::vector<long> frames;
            for (const std::string& f : Split(cols[2], ' ')) frames.push_back(atol(f.c_str()));
            REQUIRE((int)frames.size() == atoi(cols[1].c_str()));
            long seconds = atol(cols[3].c_str());
            std::vector<BYTE> toc = MakeToc(1, frames, seconds * 75);
            char id[16];
            snprintf(id, sizeof(id), "%08lx", (unsigned long)tools.ComputeDiscId(toc.data()));
            CHECK(std::string(id) == cols[0]);
            std::string cmd = tools.BuildQueryCommand(toc.data()).GetString();
            std::string expected = "cddb+query+" + cols[0] + "+" + cols[1];
            for (long f : frames) expected += "+" + std::to_string(f);
            expected += "+" + std::to_string(seconds);
            CHECK(cmd == expected);
            ++checked;
        }
        CHECK(checked == 4);
    }
    SUBCASE("digit sums") {
        CHECK(CDiscTools::DigitSum(0) == 0);
        CHECK(CDiscTools::DigitSum(420) == 6);
        CHECK(CDiscTools::DigitSum(99999) == 45);
    }
    SUBCASE("a first track other than 1 and many tracks") {
        std::vector<long> frames;
        for (int i = 0; i < 99; ++i) frames.push_back(150 + i * 1500L);
        std::vector<BYTE> toc = MakeToc(1, frames, 150 + 99 * 1500L);
        DWORD id = tools.ComputeDiscId(toc.data());
        CHECK((id & 0xFF) == 99);
        std::vector<BYTE> toc5 = MakeToc(5, {150, 20000}, 40000);
        CHECK((tools.ComputeDiscId(toc5.data()) & 0xFF) == 2);
    }
    SUBCASE("unusable tables give no identifier") {
        std::vector<BYTE> toc = MakeToc(1, {150, 20000}, 40000);
        toc[3] = 0;  // last < first
        CHECK(tools.ComputeDiscId(toc.data()) == 0);
        CHECK(tools.BuildQueryCommand(toc.data()).IsEmpty());
        CHECK(tools.ComputeDiscId(nullptr) == 0);
    }
}

TEST_CASE("usable tables of contents") {
    std::vector<BYTE> toc = MakeToc(1, {150, 20000, 30000}, 40000);
    CHECK(CDiscTools::IsTocUsable(toc.data()));
    SUBCASE("first 0, last above 99, last below first") {
        std::vector<BYTE> t = toc;
        t[2] = 0;
        CHECK_FALSE(CDiscTools::IsTocUsable(t.data()));
        t = toc;
        t[2] = 1;
        t[3] = 100;
        CHECK_FALSE(CDiscTools::IsTocUsable(t.data()));
        t = toc;
        t[2] = 4;
        CHECK_FALSE(CDiscTools::IsTocUsable(t.data()));
    }
    SUBCASE("descriptors past the data length") {
        std::vector<BYTE> t = toc;
        t[1] = (BYTE)(2 + 8 * 3);  // no room for the lead-out
        CHECK_FALSE(CDiscTools::IsTocUsable(t.data()));
        t[3] = 99;  // claims 99 tracks in a short reply
        t[1] = 26;
        CHECK_FALSE(CDiscTools::IsTocUsable(t.data()));
    }
}

TEST_CASE("reading a disc through the pass-through path") {
    FakeDrive drive;
    drive.cdLetters = "FD";
    CDiscTools tools(&drive);
    REQUIRE(tools.Init());
    CHECK_FALSE(tools.Init());
    REQUIRE(tools.GetDriveCount() == 2);
    CHECK(std::string(tools.GetDriveLabel(0)) == "D:");
    CHECK(std::string(tools.GetDriveLabel(1)) == "F:");
    CHECK(tools.GetDriveLabel(2).IsEmpty());
    std::vector<BYTE> buf(CDiscTools::kTocSize, 0);
    CdTextInfo info;

    SUBCASE("a mixed disc with a data track") {
        drive.toc = MakeToc(1, {150, 20000, 90000}, 120000, {0x10, 0x10, 0x14});
        CHECK(tools.ReadToc(0, buf.data(), false, &info) == 1);
        CHECK(drive.lastOpened == "\\\\.\\D:");
        CHECK(buf[3] == 3);
        CHECK(buf[4 + 16 + 1] == 0x14);
        CHECK(drive.opens == drive.closes);
        CHECK((drive.accessModes[0] & GENERIC_WRITE) != 0);  // NT 6: read and write
    }
    SUBCASE("a reply that claims more tracks than it carries is refused") {
        drive.toc = MakeToc(1, {150, 20000}, 40000);
        drive.toc[3] = 60;
        CHECK(tools.ReadToc(0, buf.data(), false, &info) == -1);
        CHECK(buf[2] == 0);
        CHECK(buf[3] == 0);
    }
    SUBCASE("pass-through refused: the class driver's table is used") {
        drive.passThroughFails = true;
        drive.classReadTocWorks = true;
        drive.toc = MakeToc(2, {150, 20000}, 40000);
        CHECK(tools.ReadToc(1, buf.data(), false, &info) == 1);
        CHECK(buf[2] == 2);
        CHECK(drive.opens == 2);
        CHECK(drive.opens == drive.closes);
    }
    SUBCASE("no way works") {
        drive.passThroughFails = true;
        CHECK(tools.ReadToc(0, buf.data(), false, &info) == -1);
        drive.openFails = true;
        CHECK(tools.ReadToc(0, buf.data(), false, &info) == -1);
        CHECK(drive.accessModes.back() == MAXIMUM_ALLOWED);
    }
    SUBCASE("drive index past the list") {
        CHECK(tools.ReadToc(2, buf.data(), false, &info) == -1);
    }
    SUBCASE("CD-TEXT with album and track performers") {
        drive.toc = MakeToc(1, {150, 20000, 30000}, 40000);
        PackWriter w;
        w.Texts(0x80, {"Album", "One", "Two", "Three"});
        w.Texts(0x81, {"Band", "Band", "Guest", ""});
        w.Texts(0x82, {"Writer", "W1", "W2", "W3"});
        drive.cdText = w.buf;
        CHECK(tools.ReadToc(0, buf.data(), true, &info) == 1);
        CHECK(std::string(info.title) == "Album");
        CHECK(std::string(info.performer) == "Band");
        REQUIRE(info.tracks.size() == 4);
        CHECK(std::string(info.tracks[1].title) == "One");
        CHECK(std::string(info.tracks[2].title) == "Guest / Two");
        CHECK(std::string(info.tracks[3].title) == "Three");
    }
    SUBCASE("FreeDrives leaves no label behind") {
        tools.FreeDrives();
        CHECK(tools.GetDriveCount() == 0);
        CHECK(tools.GetDriveLabel(0).IsEmpty());
        CHECK(tools.ReadToc(0, buf.data(), false, &info) == -1);
    }
}

TEST_CASE("CD-TEXT packs") {
    CdTextInfo info;
    SUBCASE("packs are read only up to a gap in the sequence") {
        PackWriter w;
        w.Texts(0x80, {"Album", "A first track title that runs on", "Second"});
        REQUIRE(w.count >= 4);
        w.buf[4 + 18 * 2 + 2] = 3;  // third pack says it is the fourth
        CDiscTools::ParseCdText(w.buf.data(), &info);
        CHECK(std::string(info.title) == "Album");
        // The first track's title runs into the pack that is never read: no track has a title.
        CHECK(info.tracks.empty());
    }
    SUBCASE("a text longer than the running buffer is cut") {
        PackWriter w;
        std::string longTitle(600, 'x');
        w.Texts(0x80, {"Album", longTitle, "After"});
        CHECK(CDiscTools::ParseCdText(w.buf.data(), &info));
        REQUIRE(info.tracks.size() == 3);
        CHECK(info.tracks[1].title.GetLength() == 255);
        CHECK(std::string(info.tracks[2].title) == "After");
    }
    SUBCASE("other blocks and kinds are left out; an empty buffer finds nothing") {
        PackWriter w;
        w.Texts(0x8F, {"x"});
        CHECK_FALSE(CDiscTools::ParseCdText(w.buf.data(), &info));
        PackWriter empty;
        CHECK_FALSE(CDiscTools::ParseCdText(empty.buf.data(), &info));
    }
    SUBCASE("random packs never run past the buffer") {
        unsigned seed = 12345;
        for (int round = 0; round < 300; ++round) {
            PackWriter w;
            for (int i = 0; i < 255; ++i) {
                BYTE* p = &w.buf[4 + 18 * i];
                for (int k = 0; k < 18; ++k) {
                    seed = seed * 1103515245u + 12345u;
                    p[k] = (BYTE)(seed >> 16);
                }
                p[0] = (BYTE)(0x80 + (p[0] % 6));
                p[2] = (BYTE)i;
                p[3] &= 0x8F;
            }
            CdTextInfo any;
            CDiscTools::ParseCdText(w.buf.data(), &any);
            CHECK(any.tracks.size() <= 100);
        }
    }
}

TEST_CASE("systems and drives") {
    SUBCASE("system codes") {
        struct Case {
            DWORD p, ma, mi;
            int code;
        } cases[] = {{1, 4, 0, 1}, {1, 4, 10, 2}, {2, 3, 51, 3}, {2, 4, 0, 4},
                     {2, 5, 1, 5}, {2, 6, 1, 6},  {2, 3, 10, 6}};
        for (const Case& c : cases) {
            FakeDrive drive;
            drive.platform = c.p;
            drive.major = c.ma;
            drive.minor = c.mi;
            CDiscTools tools(&drive);
            tools.Init();
            CHECK(tools.GetSystemCode() == c.code);
        }
    }
    SUBCASE("no CD drive") {
        FakeDrive drive;
        drive.cdLetters = "";
        CDiscTools tools(&drive);
        CHECK(tools.Init());
        CHECK(tools.GetDriveCount() == 0);
        BYTE buf[CDiscTools::kTocSize];
        CHECK(tools.ReadToc(0, buf, false, nullptr) == -1);
    }
    SUBCASE("Windows 9x without the ASPI library") {
        FakeDrive drive;
        drive.platform = 1;
        CDiscTools tools(&drive);
        CHECK_FALSE(tools.Init());
        CHECK(tools.GetDriveCount() == 0);
        REQUIRE(drive.messages.size() == 1);
        CHECK(drive.messages[0] == "Error: WNASPI32.DLL could not be found.");
        drive.aspiLoad = 2;
        CDiscTools again(&drive);
        CHECK_FALSE(again.Init());
        CHECK(drive.messages.back() == "Error: ASPI functions not supported.");
    }
    SUBCASE("before Init there are no drives") {
        FakeDrive drive;
        CDiscTools tools(&drive);
        CHECK(tools.GetDriveCount() == 0);
        BYTE buf[CDiscTools::kTocSize];
        CHECK(tools.ReadToc(0, buf, false, nullptr) == -1);
    }
}

namespace {

// A Windows 9x machine with one adapter and a CD drive at target 2, unit 0.
class FakeAspi : public FakeDrive {
public:
    bool registryWorks = false;
    bool pending = true;
    FakeAspi() {
        platform = 1;
        minor = 10;
        aspiLoad = 0;
    }
    DWORD GetASPI32SupportInfo() override { return 0x0101; }
    DWORD SendASPI32Command(void* srb) override {
        BYTE* p = (BYTE*)srb;
        BYTE cmd = p[0];
        if (cmd == 0) {
            p[1] = 1;
            return 1;
        }
        if (cmd == 1) {
            p[1] = 1;
            p[10] = (p[8] == 2 && p[9] == 0) ? 5 : 0;
            return 1;
        }
        // Execute: buffer at 16, length at 12, command bytes at 48, event at 24.
        BYTE* data = *(BYTE**)(p + 16);
        DWORD len = *(DWORD*)(p + 12);
        BYTE op = p[48];
        if (op == 0x12) {
            memcpy(data + 8, "VENDOR  CD-ROM DRIVE X  1.0 ", 28);
            p[1] = 1;
        } else if (op == 0x43 && p[50] == 0) {
            memcpy(data, toc.data(), std::min<size_t>(len, toc.size()));
            p[1] = toc.empty() ? 4 : 1;
        } else {
            p[1] = 1;
        }
        if (pending) {
            SetEvent(*(HANDLE*)(p + 24));
            return 0;
        }
        return p[1];
    }
    DWORD WaitForEvent(HANDLE h, DWORD ms) override { return WaitForSingleObject(h, ms); }
    LONG RegOpen(HKEY, LPCSTR, HKEY*) override { return ERROR_FILE_NOT_FOUND; }
};

}  // namespace

TEST_CASE("reading a disc through ASPI on Windows 9x") {
    FakeAspi aspi;
    aspi.cdLetters = "G";
    CDiscTools tools(&aspi);
    REQUIRE(tools.Init());
    REQUIRE(tools.GetDriveCount() == 1);
    // No registry map: the message, then the letter from the drive types.
    REQUIRE(aspi.messages.size() == 1);
    CHECK(aspi.messages[0] == "Error getting drive letters, the registry may be corrupt.");
    CHECK(std::string(tools.GetDriveLabel(0)) == "G:");
    aspi.toc = MakeToc(1, {150, 20000}, 40000);
    std::vector<BYTE> buf(CDiscTools::kTocSize, 0);
    CHECK(tools.ReadToc(0, buf.data(), false, nullptr) == 0);
    CHECK(buf[3] == 2);
    aspi.toc.clear();
    CHECK(tools.ReadToc(0, buf.data(), false, nullptr) == -1);

    SUBCASE("without a CD letter the drive is named after its INQUIRY name") {
        FakeAspi other;
        other.cdLetters = "";
        other.pending = false;
        CDiscTools t2(&other);
        REQUIRE(t2.Init());
        REQUIRE(t2.GetDriveCount() == 1);
        CHECK(std::string(t2.GetDriveLabel(0)) == "VENDOR CD-ROM DRIVE X");
    }
}

namespace {

// The registry of a Windows 9x machine that knows the drive as H:.
class FakeAspiRegistry : public FakeAspi {
public:
    std::map<std::string, std::string> values;
    LONG RegOpen(HKEY root, LPCSTR sub, HKEY* out) override {
        std::string key = sub;
        if (root == HKEY_DYN_DATA && key == "Config Manager\\Enum") {
            *out = (HKEY)1;
            return ERROR_SUCCESS;
        }
        if (root == (HKEY)1 && key == "C2A3F40") {
            *out = (HKEY)2;
            return ERROR_SUCCESS;
        }
        if (root == HKEY_LOCAL_MACHINE && key == "Enum\\SCSI\\VENDOR__CD-ROM\\MF&CHILD0000&PCI") {
            *out = (HKEY)3;
            return ERROR_SUCCESS;
        }
        return ERROR_FILE_NOT_FOUND;
    }
    LONG RegEnum(HKEY key, DWORD index, LPSTR name, DWORD cch) override {
        if (key != (HKEY)1 || index > 0) return ERROR_NO_MORE_ITEMS;
        lstrcpynA(name, "C2A3F40", cch);
        return ERROR_SUCCESS;
    }
    LONG RegQuery(HKEY key, LPCSTR value, BYTE* data, DWORD* size) override {
        std::string v;
        if (key == (HKEY)2 && std::string(value) == "HardWareKey")
            v = "SCSI\\VENDOR__CD-ROM\\MF&CHILD0000&PCI";
        else if (key == (HKEY)3 && std::string(value) == "DeviceType")
            v = std::string(1, '\x05');
        else if (key == (HKEY)3 && std::string(value) == "CurrentDriveLetterAssignment")
            v = "H";
        else if (key == (HKEY)3 && std::string(value) == "SCSILUN")
            v = "0";
        else if (key == (HKEY)3 && std::string(value) == "SCSITargetID")
            v = "2";
        else if (key == (HKEY)3 && std::string(value) == "DeviceDesc")
            v = "VENDOR CD-ROM DRIVE X";
        else
            return ERROR_FILE_NOT_FOUND;
        if (*size < v.size() + 1) return ERROR_MORE_DATA;
        memcpy(data, v.c_str(), v.size() + 1);
        *size = (DWORD)v.size() + 1;
        return ERROR_SUCCESS;
    }
    LONG RegClose(HKEY) override { return ERROR_SUCCESS; }
};

// A drive that never answers: every wait runs out.
class SilentAspi : public FakeAspi {
public:
    int waits = 0;
    DWORD SendASPI32Command(void* srb) override {
        BYTE* p = (BYTE*)srb;
        if (p[0] == 2 && p[48] == 0x43) return 0;  // pending, and no event will come
        return FakeAspi::SendASPI32Command(srb);
    }
    DWORD WaitForEvent(HANDLE h, DWORD ms) override {
        ++waits;
        CHECK(ms == 10000);
        return WaitForSingleObject(h, 0) == WAIT_OBJECT_0 ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
};

}  // namespace

TEST_CASE("ASPI drive letters from the registry, and time-outs") {
    SUBCASE("the registry names the letter") {
        FakeAspiRegistry aspi;
        aspi.cdLetters = "G";
        CDiscTools tools(&aspi);
        REQUIRE(tools.Init());
        CHECK(aspi.messages.empty());
        REQUIRE(tools.GetDriveCount() == 1);
        CHECK(std::string(tools.GetDriveLabel(0)) == "H:");
    }
    SUBCASE("a READ TOC that never completes fails after the wait") {
        SilentAspi aspi;
        aspi.cdLetters = "G";
        CDiscTools tools(&aspi);
        REQUIRE(tools.Init());
        aspi.toc = MakeToc(1, {150, 20000}, 40000);
        std::vector<BYTE> buf(CDiscTools::kTocSize, 0);
        CHECK(tools.ReadToc(0, buf.data(), true, nullptr) == -1);
        CHECK(aspi.waits >= 2);
    }
}
