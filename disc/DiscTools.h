// CD drives: finding them, reading an audio disc's table of contents and
// CD-TEXT, and the disc identifier and query command of the disc database.
#pragma once

#include <vector>

#include "framework/Core.h"
#include "disc/DiscDeviceApi.h"
#include "disc/TrackRecord.h"

// One CD drive of the drive list.
struct DriveInfo {
    CString name;         // vendor and product from INQUIRY (ASPI path only)
    CString compactName;  // the name without blanks
    CString label;        // "D:"
    BYTE adapter = 0;
    BYTE target = 0;
    BYTE lun = 0;
};

// What the CD-TEXT of a disc names.
struct CdTextInfo {
    std::vector<TrackRecord> tracks;  // indexed by track number; index 0 stays empty
    CString performer;
    CString title;
    CString message;

    void Clear() {
        tracks.clear();
        performer.Empty();
        title.Empty();
        message.Empty();
    }
};

class CDiscTools : public CObject {
    DECLARE_DYNAMIC(CDiscTools)
public:
    enum {
        kTocSize = 804,  // 4-byte header and 100 descriptors of 8 bytes
        kCdTextSize = 5000,
    };

    // Uses the device calls current when it is made (CDiscDeviceApi::GetCurrent).
    CDiscTools();
    explicit CDiscTools(CDiscDeviceApi* pApi);
    ~CDiscTools() override;
    // The drive records are owned: no copies.
    CDiscTools(const CDiscTools&) = delete;
    CDiscTools& operator=(const CDiscTools&) = delete;

    bool Init();
    // Takes the drive list of another, initialised instance (copies of its records) instead of
    // building one: a lookup worker reads exactly the drive the user chose from the frame's list,
    // without scanning the bus again or showing the list's messages a second time. False when
    // this one is initialised already or the other is not.
    bool InitFrom(const CDiscTools& source);
    int GetDriveCount() const;
    CString GetDriveLabel(int index) const;
    void FreeDrives();
    // Pass-through path: 1 read, -1 failed. ASPI path: 0 read, -1 failed. -1 also
    // before Init or for a drive index past the list. A reply that is not a usable
    // table of contents leaves a zero header behind and counts as failed.
    int ReadToc(int driveIndex, BYTE* pToc, bool wantCdText, CdTextInfo* pInfo);

    DWORD ComputeDiscId(const BYTE* pToc) const;
    CString BuildQueryCommand(const BYTE* pToc) const;
    static int DigitSum(int n);

    // 1 <= first <= last <= 99, every descriptor, lead-out included, lies inside
    // the data length the reply gives, and the start addresses rise from each
    // track to the next and to the lead-out.
    static bool IsTocUsable(const BYTE* pToc);
    // Reads the packs of a CD-TEXT reply (kCdTextSize bytes); true when any album
    // or track title or performer was found.
    static bool ParseCdText(const BYTE* pBuffer, CdTextInfo* pInfo);

    int GetSystemCode() const { return m_systemCode; }
    bool IsInitialised() const { return m_initialised != 0; }

private:
    int ComputeSystemCode();
    void BuildPassThroughDrives();
    void BuildAspiDrives();
    void ScanAspiBus();
    void ReadRegistryDrives();
    void MatchDriveLetters();
    int ReadTocPassThrough(const DriveInfo& drive, BYTE* pToc, bool wantCdText, CdTextInfo* pInfo);
    int ReadTocAspi(const DriveInfo& drive, BYTE* pToc, bool wantCdText, CdTextInfo* pInfo);
    HANDLE OpenDrive(const DriveInfo& drive);
    bool SendPassThrough(HANDLE h, BYTE* pBuffer, DWORD length, DWORD timeoutSeconds, BYTE format);
    bool ExecuteAspi(const DriveInfo& drive, BYTE* pBuffer, DWORD length, BYTE cdbLength, const BYTE* pCdb);

    CDiscDeviceApi* m_pApi;
    BYTE m_initialised = 0;
    int m_systemCode = 0;
    std::vector<DriveInfo*> m_drives;
    std::vector<DriveInfo*> m_registryDrives;
    BYTE m_cdText[kCdTextSize];
};
