// The shared scan of the Read CD dialog and its worker, and the application's Read CD state.
#include "disc/ReadCdState.h"

#include <cstring>

BYTE g_scanActive = 0;
CString g_scanStatus;
CString g_scanError;
BYTE g_tocBuffer[CDiscTools::kTocSize];

namespace {

volatile LONG g_liveScans = 0;
ReadCdState* g_registeredState = nullptr;

ReadCdState& OwnState() {
    static ReadCdState* own = new ReadCdState;
    return *own;
}

}  // namespace

ReadCdScan::ReadCdScan() {
    InitializeCriticalSection(&m_lock);
    memset(m_toc, 0, sizeof(m_toc));
    InterlockedIncrement(&g_liveScans);
}

ReadCdScan::~ReadCdScan() {
    ClearRecords();
    if (m_drives) {
        m_drives->FreeDrives();
        delete m_drives;
    }
    DeleteCriticalSection(&m_lock);
    InterlockedDecrement(&g_liveScans);
}

ReadCdScan* ReadCdScan::Create() {
    return new ReadCdScan;
}

void ReadCdScan::AddRef() {
    InterlockedIncrement(&m_refs);
}

void ReadCdScan::Release() {
    if (InterlockedDecrement(&m_refs) == 0) delete this;
}

LONG ReadCdScan::LiveCount() {
    return InterlockedCompareExchange(&g_liveScans, 0, 0);
}

void ReadCdScan::Cancel() {
    m_stopFolderWalk = 1;
    InterlockedExchange(&m_cancelled, 1);
}

std::vector<CCDDBRecord*> ReadCdScan::TakeRecords() {
    std::vector<CCDDBRecord*> taken;
    taken.swap(m_records);
    return taken;
}

void ReadCdScan::ClearRecords() {
    for (CCDDBRecord* r : m_records) delete r;
    m_records.clear();
}

void ReadCdScan::SetStatusText(const CString& text) {
    Lock lock(*this);
    if (!IsCancelled()) m_statusText = text;
}

void ReadCdScan::SetError(const CString& text) {
    Lock lock(*this);
    if (!IsCancelled()) m_errorText = text;
}

void ReadCdScan::SetStatus(LONG status) {
    Lock lock(*this);
    if (!IsCancelled()) m_status = status;
}

void ReadCdScan::AddRecord(CCDDBRecord* record) {
    Lock lock(*this);
    if (IsCancelled())
        delete record;
    else
        m_records.push_back(record);
}

ReadCdState::ReadCdState() = default;

ReadCdState::~ReadCdState() {
    if (g_registeredState == this) g_registeredState = nullptr;
}

ReadCdState& ReadCdState::Get() {
    return g_registeredState ? *g_registeredState : OwnState();
}

void ReadCdState::SetCurrent(ReadCdState* state) {
    g_registeredState = state;
}
