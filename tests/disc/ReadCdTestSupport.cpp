// The Read CD tests' drive, tables of contents, disc database and message boxes.
#include "ReadCdTestSupport.h"

#include <winsock.h>

#include <algorithm>
#include <cstring>

#include "LoopbackServer.h"
#include "framework/Core.h"

namespace rctest {

std::vector<BYTE> Toc(const std::vector<std::vector<int>>& starts, const std::vector<bool>& data) {
    const int n = (int)starts.size() - 1;
    std::vector<BYTE> toc(CDiscTools::kTocSize, 0);
    const int length = 2 + 8 * (n + 1);
    toc[0] = (BYTE)(length >> 8);
    toc[1] = (BYTE)length;
    toc[2] = 1;
    toc[3] = (BYTE)n;
    for (int i = 0; i <= n; ++i) {
        BYTE* d = &toc[4 + 8 * i];
        d[1] = i < (int)data.size() && data[i] ? 0x14 : 0x10;
        d[2] = (BYTE)(i < n ? i + 1 : 0xAA);
        d[5] = (BYTE)starts[i][0];
        d[6] = (BYTE)starts[i][1];
        d[7] = (BYTE)starts[i][2];
    }
    return toc;
}

std::vector<BYTE> CdText(const std::string& performer, const std::string& title,
                         const std::vector<std::string>& trackTitles) {
    std::vector<BYTE> buffer(CDiscTools::kCdTextSize, 0);
    int count = 0;
    auto texts = [&](BYTE type, const std::vector<std::string>& list) {
        std::string all;
        std::vector<int> trackOfChar;
        for (size_t t = 0; t < list.size(); ++t) {
            for (size_t i = 0; i <= list[t].size(); ++i) trackOfChar.push_back((int)t);
            all += list[t];
            all += '\0';
        }
        for (size_t pos = 0; pos < all.size(); pos += 12) {
            BYTE* p = &buffer[4 + 18 * count];
            p[0] = type;
            p[1] = (BYTE)trackOfChar[pos];
            p[2] = (BYTE)count;
            for (size_t i = 0; i < 12 && pos + i < all.size(); ++i) p[4 + i] = (BYTE)all[pos + i];
            ++count;
        }
    };
    std::vector<std::string> titles{title}, performers{performer};
    titles.insert(titles.end(), trackTitles.begin(), trackTitles.end());
    for (size_t i = 0; i < trackTitles.size(); ++i) performers.push_back(performer);
    texts(0x80, titles);
    texts(0x81, performers);
    const int length = 2 + 18 * count;
    buffer[0] = (BYTE)(length >> 8);
    buffer[1] = (BYTE)length;
    return buffer;
}

bool RecordedDrive::QueryVersion(DWORD* platform, DWORD* major, DWORD* minor) {
    *platform = 2;
    *major = 6;
    *minor = 1;
    return true;
}

UINT RecordedDrive::QueryDriveType(LPCSTR root) {
    return root[0] == 'E' ? DRIVE_CDROM : DRIVE_FIXED;
}

HANDLE RecordedDrive::OpenDevice(LPCSTR, DWORD, DWORD, DWORD) {
    return (HANDLE)0x4321;
}

BOOL RecordedDrive::IoControl(HANDLE, DWORD code, void* in, DWORD, void*, DWORD, DWORD* returned) {
    if (code != 0x4D014) return code == 0x24008;
    // SCSI_PASS_THROUGH_DIRECT: transfer length at 12, data buffer at 20, the command at 28.
    BYTE* request = static_cast<BYTE*>(in);
    const BYTE format = request[28 + 2];
    DWORD length = 0;
    BYTE* data = nullptr;
    memcpy(&length, request + 12, sizeof(length));
    memcpy(&data, request + 20, sizeof(data));
    const std::vector<BYTE>& source = format == 5 ? cdText : toc;
    if (source.empty()) return FALSE;
    memcpy(data, source.data(), std::min<size_t>(length, source.size()));
    if (returned) *returned = 80;
    return TRUE;
}

BOOL RecordedDrive::CloseDevice(HANDLE) {
    return TRUE;
}

void RecordedDrive::ShowPlainMessage(LPCSTR) {}

RecordedDrive& Drive() {
    static RecordedDrive drive;
    return drive;
}

CDiscTools& Drives() {
    static CDiscTools* drives = [] {
        CDiscDeviceApi::SetCurrent(&Drive());
        CDiscTools* d = new CDiscTools(&Drive());
        d->Init();
        return d;
    }();
    return *drives;
}

CCDDBSite LoopbackSite() {
    return LoopbackServerSite();
}

int ClosedPort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, (sockaddr*)&address, sizeof(address));
    int size = sizeof(address);
    getsockname(s, (sockaddr*)&address, &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

Boxes::Boxes() {
    AfxSetMessageBoxHandler([this](KvMessageBoxRequest& request) {
        texts.push_back(std::string(request.text.GetString()));
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons.empty() ? IDOK : (int)request.buttons[0].result;
    });
}

Boxes::~Boxes() {
    AfxSetMessageBoxHandler(nullptr);
}

bool Boxes::Shown(const std::string& text) const {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace rctest
