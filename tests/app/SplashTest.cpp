// The splash window: its fade as a function of the timer ticks, and the real layered window under
// Xvfb fading in, signalling the end of the splash time and ending hidden.
#include <doctest.h>

#include <vector>

#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "app/DlgSplash.h"
#include "controls/ThemeResources.h"
#include "framework/Win.h"
#include "res/ResourceImages.h"

namespace {

// Ticks every `period` ms from `start` until the fade ends; the alphas, and the tick times at
// which "done" first came and the fade-out first ran.
struct Run {
    std::vector<int> alphas;
    DWORD doneAt = 0;
    DWORD fadeOutAt = 0;
    DWORD endAt = 0;
    int doneSignals = 0;
};

Run Simulate(DWORD start, DWORD period, DWORD stallAfter = 0, DWORD stall = 0) {
    Run run;
    SplashFade fade;
    fade.fadingIn = true;  // shown
    DWORD now = start;
    for (int tick = 0; tick < 1000; ++tick) {
        const SplashTickResult result = SplashFadeTick(fade, now);
        if (result.present) run.alphas.push_back(fade.alpha);
        if (result.done) {
            if (!run.doneAt) run.doneAt = now;
            ++run.doneSignals;
        }
        if (fade.fadingOut && !run.fadeOutAt) run.fadeOutAt = now;
        if (result.end) {
            run.endAt = now;
            break;
        }
        now += period;
        if (stall && now - start >= stallAfter && now - start < stallAfter + period) now += stall;
    }
    return run;
}

}  // namespace

TEST_CASE("the splash's fade, tick by tick") {
    SUBCASE("32 ticks in, done after 2.5 s, out from 3 s in 32 ticks, never fully transparent") {
        const Run run = Simulate(100000, 20);
        REQUIRE(run.alphas.size() >= 64);
        CHECK(run.alphas[0] == 9);
        CHECK(run.alphas[30] == 249);
        CHECK(run.alphas[31] == 255);
        // The first tick is the clock's start: done at the first tick more than 2500 ms later.
        CHECK(run.doneAt == 100000 + 2520);
        CHECK(run.fadeOutAt == 100000 + 3020);
        const size_t outStart = run.alphas.size() - 32;
        CHECK(run.alphas[outStart] == 247);
        CHECK(run.alphas[outStart + 30] == 7);
        CHECK(run.alphas.back() == 1);
        for (int alpha : run.alphas) CHECK((alpha >= 1 && alpha <= 255));
        CHECK(run.endAt == run.fadeOutAt + 32 * 20);
        // "Done" is said on every opaque tick from then on; the application only reads the flag.
        CHECK(run.doneSignals == 26);
    }
    SUBCASE("a loop blocked during start-up delays the ticks, not the times") {
        // Three ticks, then nothing for 4 s: the fade-in ends later, but "done" and the
        // fade-out come with the first opaque tick, since more than 3 s have passed.
        const Run run = Simulate(5000, 20, 60, 4000);
        CHECK(run.alphas[31] == 255);
        CHECK(run.doneAt > 5000 + 4000);
        CHECK(run.fadeOutAt == run.doneAt);
        CHECK(run.doneAt == 5000 + 4000 + 31 * 20);
    }
    SUBCASE("the tick count may wrap around") {
        const Run run = Simulate(0xFFFFFF00u, 20);
        CHECK(run.doneAt == 0xFFFFFF00u + 2520u);
    }
}

TEST_CASE("the splash window under Xvfb") {
    kvtest::GdiplusReady();
    KvMessageBoxCapture boxes;
    BYTE done = 0;
    DlgSplash splash;
    splash.m_doneFlag = &done;
    REQUIRE(splash.Start());
    CHECK((splash.GetExStyle() & WS_EX_LAYERED) != 0);
    CHECK(splash.GetPictureSize().cx == 560);
    CHECK(splash.GetPictureSize().cy == 290);
    RECT window;
    splash.GetWindowRect(&window);
    CHECK(window.right - window.left == 560);
    CHECK(window.bottom - window.top == 290);
    // Centred on the screen's work area.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CHECK(abs((window.left + window.right) / 2 - (work.left + work.right) / 2) <= 1);
    CHECK(abs((window.top + window.bottom) / 2 - (work.top + work.bottom) / 2) <= 1);
    CHECK(splash.IsTimerRunning());

    REQUIRE(kvtest::PumpUntil([&] { return splash.m_alpha == 255; }, 5000));
    CHECK(splash.LastPresentSucceeded());
    CHECK(splash.m_fadingIn == 0);
    CHECK(done == 0);  // the fade-in takes well under 2.5 s
    REQUIRE(kvtest::PumpUntil([&] { return done != 0; }, 5000));
    CHECK(GetTickCount() - static_cast<DWORD>(splash.m_startTick) > 2500);
    REQUIRE(kvtest::PumpUntil([&] { return !splash.IsWindowVisible(); }, 5000));
    CHECK(splash.m_alpha == 1);
    CHECK_FALSE(splash.IsTimerRunning());
    // Hiding does not start it again; the window stays created.
    CHECK(splash.m_fadingIn == 0);
    CHECK(IsWindow(splash.m_hWnd));
    splash.DestroyWindow();
    CHECK(boxes.Boxes().empty());
}
