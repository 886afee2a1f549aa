// Damaged ID3v2 tags with compressed frames: the tag reader neither leaks on a frame it cannot
// inflate nor allocates what a frame merely claims to inflate to, and still reads the frames
// around it.
#include <doctest.h>

#include <string>

#include "AllocationCounter.h"
#include "disc/ReadCdSources.h"

TEST_CASE("compressed frames that claim too much are skipped before they are inflated") {
    SUBCASE("a damaged frame: repeated reads hold no more memory than the first") {
        const CString first = ReadMp3TagText("mp3-tag-leak.mp3");
        CHECK(std::string(first) == "Some Artist-Title");
        const long long before = kvtest::LiveAllocatedBytes();
        for (int i = 0; i < 50; ++i) ReadMp3TagText("mp3-tag-leak.mp3");
        CHECK(kvtest::LiveAllocatedBytes() == before);
    }
    SUBCASE("a frame that claims 400 MB is not inflated") {
        kvtest::ResetLargestAllocation();
        const CString text = ReadMp3TagText("mp3-tag-inflates-400mb.mp3");
        CHECK(std::string(text) == "Some Artist-Title");
        CHECK(kvtest::LargestAllocation() < 1024 * 1024);
    }
}
