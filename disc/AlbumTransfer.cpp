// The album texts the Read CD dialog writes, and their way into the design.
#include "disc/AlbumTransfer.h"

#include "canvas/View.h"
#include "canvas/ViewHost.h"
#include "disc/DiscTools.h"
#include "model/TrackListText.h"

const char kDiscChoiceQuestion[] = "Which disc would you like to add the text?";

namespace {

const int kSessionGapSeconds = 150;

const BYTE* Descriptor(const BYTE* pToc, int i) {
    return pToc + 4 + 8 * i;
}

bool IsDataTrack(const BYTE* pToc, int i) {
    return Descriptor(pToc, i)[1] == 0x14;
}

int SecondsOf(const BYTE* pToc, int i) {
    const BYTE* d = Descriptor(pToc, i);
    return d[5] * 60 + d[6];
}

CString End(const CString& text) {
    return text + kTrackFieldEnd;
}

// One undo step around a change of album fields: the current side records every album field
// before and after, so undo and redo restore all of them; the linked objects' texts are
// recorded by ViewSelect::SetObjectText inside it.
class AlbumWriteStep {
public:
    explicit AlbumWriteStep(View& view) : m_view(view) {
        m_view.BeginUndoStep();
        if (ViewObject* side = m_view.m_design.GetCurrentSide())
            m_view.RecordUndoValue("prevText", side, CString(), CString());
    }
    ~AlbumWriteStep() {
        // A write that failed half-way keeps what it changed as a step of its own.
        if (m_view.m_openUndoStep) m_view.EndUndoStep();
    }
    void End() {
        if (ViewObject* side = m_view.m_design.GetCurrentSide())
            m_view.RecordUndoValue("nextText", side, CString(), CString());
        m_view.EndUndoStep();
    }
    AlbumWriteStep(const AlbumWriteStep&) = delete;
    AlbumWriteStep& operator=(const AlbumWriteStep&) = delete;

private:
    View& m_view;
};

void WriteTimeFields(View& view, const DiscTrackTimes& times, const CString& suffix) {
    const CString listName = "Track List" + suffix;
    const CString current = view.m_design.GetAlbumField(listName);
    view.SetDocumentText(listName, BuildTrackTimesText(current, times, suffix));
    view.SetDocumentText("Time" + suffix, FormatTotalTime(times.totalSeconds));
}

void WriteMatchFields(View& view, CCDDBRecord& record, int disc, const std::vector<int>& positions) {
    record.m_artist = CleanFieldText(record.m_artist);
    record.m_title = CleanFieldText(record.m_title);
    record.m_genre = CleanFieldText(record.m_genre);
    CString year;
    if (record.m_year != 0) year.Format("%d", record.m_year);
    // The fields under the names the design's field boxes carry ("Artist - Disc 1" in a two-disc
    // design, which is the first disc's field as plain "Artist" is).
    const CString suffix = DiscSuffix(disc);
    view.SetDocumentText("Artist" + suffix, End(record.m_artist));
    view.SetDocumentText("Title" + suffix, End(record.m_title));
    view.SetDocumentText("Genre" + suffix, End(record.m_genre));
    view.SetDocumentText("Year" + suffix, End(year));
    const CString listName = "Track List" + suffix;
    const CString current = view.m_design.GetAlbumField(listName);
    view.SetDocumentText(listName, BuildMatchTitlesText(current, record.m_trackTitles, positions));
}

}  // namespace

bool ComputeDiscTrackTimes(const BYTE* pToc, DiscTrackTimes& times) {
    times = DiscTrackTimes();
    if (!pToc || !CDiscTools::IsTocUsable(pToc)) return false;
    const int n = pToc[3] - pToc[2] + 1;
    for (int i = 0; i < n; ++i) {
        if (IsDataTrack(pToc, i)) continue;
        int next = SecondsOf(pToc, i + 1);
        // The data session of an enhanced disc starts after a gap that belongs to no track.
        if (i + 1 < n && IsDataTrack(pToc, i + 1)) next -= kSessionGapSeconds;
        int length = next - SecondsOf(pToc, i);
        if (length < 0) length = 0;
        // Whole seconds with the fraction dropped: a smaller frame field at the next start means
        // the last second is not complete.
        int shown = length;
        if (Descriptor(pToc, i + 1)[7] < Descriptor(pToc, i)[7] && shown > 0) --shown;
        times.seconds.push_back(shown);
        times.positions.push_back(i);
        times.totalSeconds += length;
    }
    return true;
}

CString FormatTotalTime(int seconds) {
    CString text;
    text.Format("%d:%.2d", seconds / 60, seconds % 60);
    return End(text);
}

CString DiscSuffix(int chooserResult) {
    if (chooserResult == 1) return " - Disc 1";
    if (chooserResult == 2) return " - Disc 2";
    return CString();
}

CString BuildTrackTimesText(const CString& currentTrackList, const DiscTrackTimes& times,
                            const CString& suffix) {
    return WriteTrackTimes(currentTrackList, times.seconds, suffix);
}

CString BuildMatchTitlesText(const CString& currentTrackList, const CStringArray& titles,
                             const std::vector<int>& positions) {
    std::vector<CString> ordered;
    const size_t count = positions.empty() ? (size_t)titles.GetSize() : positions.size();
    for (size_t k = 0; k < count; ++k) {
        const INT_PTR index = positions.empty() ? (INT_PTR)k : positions[k];
        if (index < 0 || index >= titles.GetSize()) break;
        ordered.push_back(titles[index]);
    }
    return TransferTrackTitles(currentTrackList, ordered);
}

CString BuildMp3TrackListText(const std::vector<Mp3Row>& rows) {
    CString text;
    for (size_t i = 0; i < rows.size(); ++i) text += MakeMp3TrackRecord((int)i, rows[i].title, rows[i].time);
    return text;
}

int ChooseTransferDisc(View& view) {
    if (!view.m_design.IsTwoDiscLayout()) return 0;
    ViewHost* host = View::GetHost();
    const int choice = host ? host->RunDiscChoice(kDiscChoiceQuestion) : -1;
    return choice == 1 || choice == 2 ? choice : -1;
}

void TransferDiscToDesign(View& view, const BYTE* pToc, CCDDBRecord* record, int disc) {
    DiscTrackTimes times;
    ComputeDiscTrackTimes(pToc, times);
    AlbumWriteStep step(view);
    WriteTimeFields(view, times, DiscSuffix(disc));
    if (record) WriteMatchFields(view, *record, disc, times.positions);
    view.m_select.SetObjectText(nullptr, record ? FALSE : TRUE);
    view.RefreshView();
    step.End();
}

void TransferMp3ToDesign(View& view, const CString& trackListText, int disc) {
    AlbumWriteStep step(view);
    view.SetDocumentText("Track List" + DiscSuffix(disc), trackListText);
    view.m_select.SetObjectText(nullptr, TRUE);
    view.RefreshView();
    step.End();
}
