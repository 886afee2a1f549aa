// The global memory blocks that carry a printer's set-up: DEVNAMES (driver, device and port names)
// and DEVMODE (the driver's device mode). Blocks read from files are untrusted: these checks decide
// whether one may be handed to the spooler or a driver at all.
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/Core.h"

// No device block of a real driver comes near this; a larger size in a file means damage.
const SIZE_T kMaxDeviceBlockSize = 1024 * 1024;
// A device mode must at least hold every public field up to dmMediaType, the last one read.
const WORD kMinDevModeSize = static_cast<WORD>(offsetof(DEVMODEA, dmMediaType) + sizeof(DWORD));

// A DEVMODE of `size` bytes whose own dmSize and dmDriverExtra fit in it, and whose dmSize covers
// the fields this program reads or writes.
bool IsSoundDevMode(const BYTE* bytes, SIZE_T size);
// A DEVNAMES of `size` bytes whose three offsets point into it at terminated strings.
bool IsSoundDevNames(const BYTE* bytes, SIZE_T size);
// The same for blocks; false for null.
bool IsSoundDevModeBlock(HGLOBAL block);
bool IsSoundDevNamesBlock(HGLOBAL block);

// One of the names of a sound DEVNAMES block: 0 driver, 1 device, 2 port; "" otherwise.
CString GetDevNamesString(HGLOBAL block, int which);
// A DEVNAMES block (movable, zero-filled) of the three names; null when it cannot be made.
HGLOBAL MakeDevNamesBlock(LPCSTR driver, LPCSTR device, LPCSTR port);
// A movable, zero-filled block holding `size` bytes copied from `bytes`; null on failure.
HGLOBAL MakeBlock(const void* bytes, SIZE_T size);
// Frees a block (unlocking it first as often as it is locked) and sets the handle to null.
void FreeBlock(HGLOBAL& block);
