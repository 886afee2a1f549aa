// Starts GDI+ for a whole test program and shuts it down at exit.
#pragma once
namespace kvtest {
bool GdiplusReady();
}
