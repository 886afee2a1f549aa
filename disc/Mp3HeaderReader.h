// Playing time of an MPEG audio file, from its first frame header and an
// optional "Xing" variable-bitrate header. An ID3v2 tag in front is stepped over, and a header
// counts only when the next frame's header follows it where its length says.
#pragma once

#include "framework/Core.h"

class Mp3HeaderReader {
public:
    Mp3HeaderReader() = default;

    // "m:ss", or an empty text when the file cannot be read or gives no time.
    CString GetMp3Duration(LPCSTR pszPath);

    bool IsValidHeader() const;
    // Bytes from this header to the next one (padding included); 0 when it cannot be known.
    int GetFrameLength() const;
    int GetSampleRate() const;  // Hz; 0 for the reserved version
    int GetBitrate() const;     // kbit/s; may be 0 or negative when no time can be computed
    // Looks at the twelve bytes behind the side information.
    bool ReadXing(const BYTE* pBytes);

    // The header last looked at, first byte in bits 24 to 31.
    DWORD m_header = 0;
    // The Xing header's frame count; -1 when it carries none.
    int m_frameCount = -1;
    BYTE m_vbr = 0;
    // Length of the whole file, tags included.
    ULONGLONG m_fileSize = 0;

private:
    int Version() const { return (int)((m_header >> 19) & 3); }
    int Layer() const { return (int)((m_header >> 17) & 3); }
    int SideInfoSize() const;
};
