// Writing what the Read CD dialog found into the design's album fields: the disc's track times,
// a matched album's artist, title, year, genre and track titles, and the MP3 grid's track list.
// The texts are built by plain functions on the album-field format (every field ends with 0x08,
// the track list is a run of number/title/time records); the writers store them through the View
// as one undo step that restores every album field and every linked text.
#pragma once

#include <vector>

#include "framework/Core.h"
#include "disc/CDDBRecord.h"

class View;

// The question of the disc chooser before a transfer into a two-disc design.
extern const char kDiscChoiceQuestion[];

// The audio tracks of a table of contents with their playing times.
struct DiscTrackTimes {
    // One per audio track in disc order: the whole seconds shown (the fraction dropped).
    std::vector<int> seconds;
    // The position (0-based, in disc order) of each audio track among all tracks: a match's
    // titles are numbered by these positions.
    std::vector<int> positions;
    // The album's length in whole seconds.
    int totalSeconds = 0;
};

// The times of the disc's audio tracks; data tracks are skipped wherever they lie, and an audio
// track followed by a data track ends 150 seconds before it (the gap between the sessions of an
// enhanced disc). False, with no times, for a table of contents that is not usable.
bool ComputeDiscTrackTimes(const BYTE* pToc, DiscTrackTimes& times);
// "%d:%.2d" of the total followed by 0x08.
CString FormatTotalTime(int seconds);
// "", " - Disc 1" or " - Disc 2" for no chooser, the chooser's "Disc 1" and "Disc 2".
CString DiscSuffix(int chooserResult);

// The track list rebuilt with one record per audio track: an existing record keeps its title, a
// missing one is titled "Track <n><suffix>"; every record gets its number and the disc's time.
CString BuildTrackTimesText(const CString& currentTrackList, const DiscTrackTimes& times,
                            const CString& suffix);
// The track list with the match's titles: record k keeps its number and time fields and takes the
// title at positions[k] (at k without positions), trimmed and cleaned; the text keeps as many
// records as have both a record and a title.
CString BuildMatchTitlesText(const CString& currentTrackList, const CStringArray& titles,
                             const std::vector<int>& positions);
// One MP3 grid row: its title and time texts.
struct Mp3Row {
    CString title;
    CString time;
};
// One record per row in order: "<n>. ", title, " " + time.
CString BuildMp3TrackListText(const std::vector<Mp3Row>& rows);

// ---- writing into the design through the view ----------------------------------------------

// The disc a transfer writes: asks the chooser (ViewHost::RunDiscChoice) in a two-disc design.
// 0 for a one-disc design, 1 or 2 for the chosen disc, -1 when the choice was cancelled.
int ChooseTransferDisc(View& view);

// The disc's track times (and, with a record, the match's album fields and titles) written as
// one undo step; the linked texts take them and the view is refreshed. `disc` is what
// ChooseTransferDisc answered (not -1).
void TransferDiscToDesign(View& view, const BYTE* pToc, CCDDBRecord* record, int disc);
// The MP3 grid's track list written as one undo step (disc as above).
void TransferMp3ToDesign(View& view, const CString& trackListText, int disc);
