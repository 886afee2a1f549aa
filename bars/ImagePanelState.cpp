// The image panel's shared state and its records.
#include "bars/ImagePanelState.h"

#include "framework/Win.h"

const char* const kNoBackgroundPath = "-2";
const char* const kNoBackgroundName = "[No Background]";

namespace {
ImagePanelState* g_imagePanelState = nullptr;

void DeleteEndedThread(CWinThread*& thread) {
    if (thread != nullptr && !ImagePanelState::IsRunning(thread)) {
        delete thread;
        thread = nullptr;
    }
}
}  // namespace

ImagePanelState::ImagePanelState() = default;

ImagePanelState::~ImagePanelState() {
    // Threads still running keep their objects and the records they may touch (the process is
    // ending); ended ones are freed.
    if (ReapThreads()) FreeRecords();
}

ImagePanelState* ImagePanelState::Get() {
    return g_imagePanelState;
}

void ImagePanelState::Set(ImagePanelState* state) {
    g_imagePanelState = state;
}

int ImagePanelState::RecordCount() const {
    ImageRecordsLock lock(*this);
    return (int)m_imageRecords.size();
}

ImageRecord* ImagePanelState::RecordAt(int index) const {
    ImageRecordsLock lock(*this);
    if (index < 0 || index >= (int)m_imageRecords.size()) return nullptr;
    return m_imageRecords[index];
}

void ImagePanelState::AppendRecord(std::unique_ptr<ImageRecord> record) {
    ImageRecordsLock lock(*this);
    m_imageRecords.push_back(record.get());
    record.release();
}

void ImagePanelState::FreeRecords() {
    std::vector<ImageRecord*> records;
    {
        ImageRecordsLock lock(*this);
        records.swap(m_imageRecords);
    }
    for (ImageRecord* record : records) delete record;
}

void ImagePanelState::ReleasePicturesOutside(int keepFirst, int keepLast) {
    ImageRecordsLock lock(*this);
    const int n = (int)m_imageRecords.size();
    for (int i = 0; i < n; ++i) {
        if (i >= keepFirst && i <= keepLast) continue;
        ImageRecord* record = m_imageRecords[i];
        if (record->m_state == kImageNew && !record->m_cellPicture) continue;
        record->m_cellPicture.Reset();
        record->m_whiteSquare.Reset();
        record->m_thumbnail.reset();
        record->m_state = kImageNew;
    }
}

bool ImagePanelState::IsRunning(CWinThread* thread) {
    return thread != nullptr && thread->m_hThread != nullptr &&
           ::WaitForSingleObject(thread->m_hThread, 0) == WAIT_TIMEOUT;
}

bool ImagePanelState::ReapThreads() {
    DeleteEndedThread(m_folderThread);
    DeleteEndedThread(m_thumbThread);
    DeleteEndedThread(m_folderSelectThread);
    return m_folderThread == nullptr && m_thumbThread == nullptr && m_folderSelectThread == nullptr;
}
