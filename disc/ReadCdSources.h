// The lookup sources of the Read CD worker besides the disc database: the disc's CD-TEXT, the
// Windows CD player's CDPlayer.ini, and the names and tags of MP3 files. Plain functions on the
// table of contents, texts and files, so that each rule can be checked alone.
#pragma once

#include "framework/Core.h"
#include "disc/CDDBRecord.h"
#include "disc/DiscTools.h"

// ---- CD-TEXT ----
// A record of the disc's CD-TEXT (performer as artist, title, the titles of tracks 1 to
// trackCount that it names); false when the CD-TEXT names nothing.
bool MakeCdTextRecord(const CdTextInfo& info, int trackCount, CCDDBRecord& record);

// ---- CDPlayer.ini ----
// The section key of a disc in CDPlayer.ini: "[" + the sum of the tracks' start addresses in
// upper-case hexadecimal + "]" (see the CD player's own rule in the .cpp). Empty for a table of
// contents that is not usable.
CString CdPlayerIniKey(const BYTE* pToc);
// Looks the key up in the text of a CDPlayer.ini file; true with the artist, title and track
// titles of its section when the section was found (texts of at most 1023 characters, at most
// 99 tracks).
bool ParseCdPlayerIni(const CString& fileText, const CString& key, CCDDBRecord& record);
// The whole file read (at most its first 32 MiB); false when it cannot be opened.
bool ReadTextFile(const CString& path, CString& text);
// Whether the file can be opened for reading.
bool CanOpenForReading(const CString& path);

// ---- MP3 files ----
// The display name of an MP3 file (a name or a full path): folder and extension dropped, '_' to
// blank, trimmed, runs of blanks and blanks around dashes folded into "-", then each word
// capitalised: "my_song - live.mp3" gives "My Song-live".
CString MakeMp3DisplayName(const CString& path);
// A tag text cleaned the same way, without the change of letter case.
CString CleanMp3TagText(const CString& text);
// "Artist-Title" from the file's ID3 tags (ID3v1 and ID3v2; ISO-8859-1 and UTF-16 texts), the
// title alone without an artist; empty when the file has neither. Not cleaned.
CString ReadMp3TagText(const CString& path);
// A UTF-16 text as id3lib keeps it (big-endian code units) in the system's code page.
CString ConvertBigEndianUtf16(const BYTE* bytes, size_t byteCount);
