// The Read CD dialog's worker: reads the chosen drive's table of contents and CD-TEXT, then looks
// an audio disc up in the enabled sources (disc database, CD-TEXT, CDPlayer.ini) or lists the MP3
// files of a data disc with their tags and playing times. Everything it finds goes into its scan
// (ReadCdScan), nowhere else.
#pragma once

#include "disc/ReadCdState.h"

// The thread function. pParam is a ReadCdScan whose reference the thread owns and releases when
// it ends. Returns 1.
unsigned __stdcall ReadCdWorker(void* pParam);

// Starts the worker on the scan at the highest priority; the thread takes a reference of its own.
// False when no thread could be started (the scan then keeps only the caller's reference).
bool StartReadCdWorker(ReadCdScan* scan);

// The runs of the worker that the dialog and the tests wait for: the number of worker threads
// that have not yet returned.
LONG RunningReadCdWorkers();

// The message of a failed disc-database query, by the client's result; a server's error reply is
// told with its status line.
CString QueryFailureMessage(int result, const CString& serverMessage = CString());

// The most disc-database records one lookup reads: the first matches of the reply, in its order.
const int kMaxFreedbRecords = 20;
