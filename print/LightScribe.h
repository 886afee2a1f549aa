// Printing on LightScribe discs through the drive maker's print library and its own print dialog
// program. The library is found through the registry and loaded on demand; the application runs
// without it. A disc label is handed over as a temporary JPEG file; each file stays recorded (in
// LightScribeTemp.dat, across runs) with the key of the print dialog process that reads it, until
// a shut-down finds that dialog gone and deletes the file.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "framework/Core.h"

// Set once the library was found and loaded; never cleared.
extern BYTE g_lightScribeAvailable;
// The list file of pending jobs: the settings folder's "LightScribeTemp.dat".
extern CString g_lightScribeTempListPath;
// The pending jobs (CLightScribeTempFile), in the order recorded; the array owns them.
extern CObArray g_lightScribeTempFiles;

// One pending job: the temporary image and the print dialog process that uses it.
class CLightScribeTempFile : public CObject {
    DECLARE_SERIAL(CLightScribeTempFile)
public:
    static constexpr UINT kSchema = 507;

    CLightScribeTempFile() = default;
    CLightScribeTempFile(const CString& imagePath, const CString& dialogKey)
        : m_imagePath(imagePath), m_dialogKey(dialogKey) {}

    void Serialize(CArchive& ar) override;

    CString m_imagePath;  // full path of the temporary JPEG file
    // The dialog process's key (its id followed by its parent's id, in decimal); empty when the
    // dialog was not seen starting: the file then goes once no print dialog runs any more.
    CString m_dialogKey;
};

// The results of LightScribePrint.
enum LightScribeResult {
    kLightScribeUnavailable = 0,  // no library: nothing done
    kLightScribeStarted = 1,      // the print dialog was started and the job recorded
    kLightScribeNotSaved = 2,     // the JPEG file could not be written
    kLightScribeRefused = 3,      // the library refused to start its dialog
};

// Where the library's path is read: the local machine's key and its value.
extern const wchar_t kLightScribeKey[];
extern const wchar_t kLightScribeValue[];
// The program file name of the library's print dialog (compared case-sensitively).
extern const char kLightScribeDialogProgram[];

// Finds and loads the library once, then reads the pending list.
void LightScribeInit();
// Saves the label as a temporary JPEG file and starts the library's print dialog on it.
int LightScribePrint(Gdiplus::Bitmap* image);
// At shut-down: purges ended jobs and writes the list of the others; `deleteEntries` frees them.
void SaveLightScribeTempList(bool deleteEntries);
// Deletes the jobs whose dialog has ended; true when none is pending (the list file is gone).
bool PurgeLightScribeTempFiles();
// Appends the key of every running process whose program file is the print dialog's.
void ScanPrintDialogProcesses(CStringArray& keys);
// Reads the list file into g_lightScribeTempFiles; a missing or damaged file leaves it empty.
void LoadLightScribeTempList();

// The library for the print command: 0 not available, 1 available, 2 available now after it was
// looked for again (the main tool bar then gains its button).
int LightScribeAvailability();
// The library's drive test: true when a LightScribe drive is attached (false without the library).
bool HaveLightScribeDrive();
// The command text handed to the library's print dialog for an image file.
std::wstring LightScribeCommandText(const CString& imagePath);
// True for a file the purge may delete: directly inside the temporary folder, named "ls_...".
bool IsLightScribeTempFile(const CString& path);
// How long the dialog process is looked for after the library started it.
extern DWORD g_lightScribeDialogWaitMs;
