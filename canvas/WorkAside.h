// Work of a second or more (a picture decoded, a bitmap of hundreds of megabytes made, an export
// drawn and encoded) done away from the window's thread, which meanwhile goes on painting and
// taking what is posted and sent to it, timers included. The user's input waits in the queue
// until the work is done, so nothing the user does can change what the work reads.
#pragma once

#include <windows.h>

#include <functional>

// Keeps the calling thread's windows painted and answering until `done` holds (asked first, then
// after every pass; a pass waits at most 10 ms). False when `window` went or the program is to end
// meanwhile (the quit message is put back for the loop that ends it). Without `posted`, what is
// posted and the timers wait too (for another program that waits on this thread: any of them may
// bring a box or a question, which would keep that program waiting for the user).
bool AnswerUntil(HWND window, const std::function<bool()>& done, bool posted = true);

// Runs `work` on a thread of its own (COM set up there) and returns once it has ended; meanwhile
// the window answers (AnswerUntil, `posted` as there) when `answering` is set, for as long as
// `window` lives and the program is not ending. With no thread to be had, the work runs on the
// calling thread.
void RunAside(HWND window, const std::function<void()>& work, bool answering = true, bool posted = true);
