// Makes GDI+ fail on cue for one picture, as it does when memory runs short: linked into a test
// program, it stands in for GDI+'s drawing of an image into a rectangle and for its saving of an
// image into a stream, and passes every other call on to GDI+ itself.
#pragma once

#include <windows.h>

namespace kvtest {

// While it lives, drawing an image of exactly width x height fails (`draw`), and so does saving
// one (`save`: the save stops after the first bytes, as one that runs out of memory on the way).
class GdiplusRefusal {
public:
    GdiplusRefusal(UINT width, UINT height, bool draw, bool save);
    ~GdiplusRefusal();
    GdiplusRefusal(const GdiplusRefusal&) = delete;
    GdiplusRefusal& operator=(const GdiplusRefusal&) = delete;
};

}  // namespace kvtest
