// Writing a file whole: the content goes to a temporary file in the target's folder, is flushed to
// the disk, and only then takes the target's place. A write that fails on the way (a full disk, a
// folder that refuses it, a writer that gives up) leaves the target as it was and removes the
// temporary file, so no cut-off or emptied file is ever left where the old one stood.
#pragma once

#include <functional>

#include "framework/core/File.h"
#include "framework/core/Strings.h"

// The temporary name used unless a caller needs its own: the target's name with ".new" added.
CString WholeFileTemporaryOf(const CString& path);

// Writes `path` through `temporary` (created afresh; one left behind by a write that was killed
// midway is removed first). `write` fills the open file and returns false when it gives up.
// True when the target holds everything written. On false nothing changed at `path`, the
// temporary file is gone and GetLastError() tells why (0 when `write` gave up by itself). A file
// exception thrown by `write` (a write that failed: a full disk) is such a false, with its cause;
// any other exception removes the temporary file and goes on to the caller.
bool WriteFileWhole(const CString& path, const CString& temporary,
                    const std::function<bool(CFile& file)>& write);
bool WriteFileWhole(const CString& path, const std::function<bool(CFile& file)>& write);

// The same for a writer that makes the file from its name itself (an image encoder): `write`
// creates `temporary` and returns whether it succeeded.
bool WriteNamedFileWhole(const CString& path, const CString& temporary,
                         const std::function<bool(const CString& temporary)>& write);
