// The adjusted and working images of an image object are shared with the colour worker: every
// change to them waits for its busy flag, and a failure while drawing never leaves it taken.
#include <doctest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <thread>

#include "GdiplusSession.h"
#include "framework/core/OperationError.h"
#include "render/ColorPixel.h"
#include "render/RenderContext.h"
#include "RenderFixtures.h"

using namespace Gdiplus;

// Fault injection: while armed, the allocation of a colour plan (the first allocation of the
// hue adjustment) fails as it would when memory runs out.
namespace {
volatile bool g_failColourPlan = false;
}

void* operator new(size_t size) {
    if (g_failColourPlan && size == sizeof(kvcolor::HslPlan)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

struct ImageScene {
    rt::Design d;
    ViewObject* front;
    ViewObject* image;
    ImageScene() {
        d.AddPage(2, 3000, 3000);
        front = d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 3000, 3000));
        image = d.Add(NewViewObject(kObjectImage, "Image", 2, "Front Cover", 0, 0, 1000, 1000));
        Bitmap pixels(20, 20, PixelFormat24bppRGB);
        {
            Graphics pg(&pixels);
            pg.Clear(Color(255, 0, 200, 0));
        }
        REQUIRE(image->image.EncodeImage(&pixels, false));
        REQUIRE(image->EnsureImageLoaded());
    }
};

// Runs `change` on another thread while this one holds the object's flag as the colour worker
// would: the change must wait until the flag is given back.
void CheckWaitsForWorker(ViewObject* o, const std::function<void()>& change) {
    REQUIRE(o->TryLockHsl());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread t([&] {
        change();
        SetEvent(done);
    });
    // The change must still be waiting a while later (a bound, not a synchronisation: it
    // must never finish while the flag is held).
    CHECK(WaitForSingleObject(done, 300) == WAIT_TIMEOUT);
    o->UnlockHsl();
    CHECK(WaitForSingleObject(done, 20000) == WAIT_OBJECT_0);
    t.join();
    CloseHandle(done);
    CHECK_FALSE(o->IsHslBusy());
}

}  // namespace

TEST_CASE("the adjusted and working images change only while the colour worker is not at them") {
    REQUIRE(kvtest::GdiplusReady());
    ImageScene s;
    ViewObject* o = s.image;
    SUBCASE("SetAdjustedImage") {
        o->SetAdjustedImage(new Bitmap(2, 2, PixelFormat24bppRGB));
        Bitmap* first = o->adjustedImage;
        CheckWaitsForWorker(o, [&] { o->SetAdjustedImage(new Bitmap(3, 3, PixelFormat24bppRGB)); });
        CHECK(o->adjustedImage != first);
    }
    SUBCASE("SetWorkingImage") {
        CheckWaitsForWorker(o, [&] { o->SetWorkingImage(new Bitmap(3, 3, PixelFormat24bppRGB)); });
        CHECK(o->workingImage != nullptr);
    }
    SUBCASE("freeing the image data") {
        o->SetAdjustedImage(new Bitmap(2, 2, PixelFormat24bppRGB));
        CheckWaitsForWorker(o, [&] { o->FreeImageData(true); });
        CHECK(o->adjustedImage == nullptr);
    }
    SUBCASE("freeing the caches of the other sides") {
        o->side = 3;
        o->SetAdjustedImage(new Bitmap(2, 2, PixelFormat24bppRGB));
        CheckWaitsForWorker(o, [&] { s.d.doc.FreeImageCachesExceptSide(2); });
        CHECK(o->adjustedImage == nullptr);
    }
    SUBCASE("detaching the images") {
        // The document gives up its pointers without freeing them; keep them to free here.
        Bitmap* adjusted = new Bitmap(2, 2, PixelFormat24bppRGB);
        o->SetAdjustedImage(adjusted);
        Bitmap* decoded = o->decodedImage;
        IStream* stream = o->image.GetStream();
        CheckWaitsForWorker(o, [&] { s.d.doc.DetachImages(); });
        CHECK(o->adjustedImage == nullptr);
        delete adjusted;
        delete decoded;
        if (stream) stream->Release();
    }
}

TEST_CASE("running out of memory while drawing an adjusted image leaves the flag free") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;
    ImageScene s;
    s.image->hue = 90;
    Bitmap b(300, 300, PixelFormat24bppRGB);
    Graphics g(&b);
    RenderContext rc;
    rc.Init(&g, 0.1, 0.1, 0, 0, kPurposeScreen, &s.d.doc, s.front, nullptr);
    rc.children.Add(s.image);
    g_failColourPlan = true;
    rc.DrawImages();
    g_failColourPlan = false;
    // Shown as it is for once, but no copy without the change is kept to stand for it.
    CHECK(boxes.Boxes().empty());
    CHECK(s.image->adjustedImage == nullptr);
    CHECK_FALSE(s.image->IsHslBusy());
    // The next drawing makes the cache as usual.
    rc.DrawImages();
    CHECK(s.image->adjustedImage != nullptr);
    CHECK_FALSE(s.image->IsHslBusy());
}
