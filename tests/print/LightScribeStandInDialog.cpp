// A stand-in for the LightScribe print dialog program, built as LSPrintDialog.exe for the tests.
// Started as the library starts the real one (--filename "<image>" -d 1), it opens the image and
// holds it open until the test ends it through the event "LSPrintDialogStandIn.End.<its id>" (or
// a minute has passed). Its exit code tells the test what it found: 0 a JPEG file, 2 no
// --filename, 3 a file that could not be opened, 4 a file that is not a JPEG.
#include <windows.h>

#include <string>

int main() {
    std::wstring line = ::GetCommandLineW();
    const std::wstring option = L"--filename \"";
    const size_t at = line.find(option);
    if (at == std::wstring::npos) return 2;
    const size_t start = at + option.size();
    const size_t end = line.find(L'"', start);
    if (end == std::wstring::npos) return 2;
    const std::wstring path = line.substr(start, end - start);
    if (line.compare(end + 1, std::wstring::npos, L" -d 1") != 0) return 2;

    wchar_t name[64];
    wsprintfW(name, L"LSPrintDialogStandIn.End.%lu", ::GetCurrentProcessId());
    HANDLE endEvent = ::CreateEventW(nullptr, TRUE, FALSE, name);

    int code = 0;
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        code = 3;
    } else {
        unsigned char mark[2] = {0, 0};
        DWORD read = 0;
        if (!::ReadFile(file, mark, 2, &read, nullptr) || read != 2 || mark[0] != 0xFF || mark[1] != 0xD8)
            code = 4;
    }
    if (endEvent) ::WaitForSingleObject(endEvent, 60000);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    if (endEvent) ::CloseHandle(endEvent);
    return code;
}
