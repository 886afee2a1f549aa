// DlgSplash: the start-up picture, a modeless layered window that fades in, stays opaque, tells
// the application that the splash time is over (the view's start-up waits for that before it
// shows the main window), fades out and hides itself. The fade runs on a 20 ms timer; its steps
// are the pure function SplashFadeTick, so that the timing can be checked without a window.
#pragma once

#include <windows.h>

#include "framework/Win.h"

// The splash's fade: alpha 1 to 255 in steps of 8 per tick, "done" more than 2.5 s after the
// first fading tick, the fade-out from 3 s on, the end when alpha is back at 1.
struct SplashFade {
    static constexpr int kStep = 8;
    static constexpr DWORD kDoneAfter = 2500;
    static constexpr DWORD kFadeOutAfter = 3000;

    bool fadingIn = false;
    bool fadingOut = false;
    int alpha = 1;
    int startTick = -1;  // the tick count of the first fading tick; -1 until then
};

struct SplashTickResult {
    bool present = false;  // show the picture at the new alpha
    bool done = false;     // the splash time is over: tell the application
    bool end = false;      // back at alpha 1: stop the timer, hide the window
};

// One timer tick at the tick count `now` (GetTickCount; wrap-around is allowed for).
SplashTickResult SplashFadeTick(SplashFade& fade, DWORD now);

class DlgSplash : public CDialog {
public:
    static constexpr UINT kTemplateId = 288;
    static constexpr UINT_PTR kTimerId = 1080;
    static constexpr UINT kTimerPeriod = 20;
    static constexpr int kPictureId = 479;

    DlgSplash();
    ~DlgSplash() override;

    // Creates the window from its template with no parent, makes it layered and shows it.
    BOOL Start();

    // The picture with its alpha, premultiplied, as a 32-bit DIB section selected into a memory DC
    // that owns it.
    ScopedMemoryDC m_picture;
    BYTE m_fadingIn = 0;
    BYTE m_fadingOut = 0;
    int m_alpha = 1;
    int m_startTick = -1;
    // Where the end of the splash time is written: the application points it at its own flag.
    BYTE* m_doneFlag = nullptr;

    SIZE GetPictureSize() const { return m_pictureSize; }
    // The last UpdateLayeredWindow succeeded.
    bool LastPresentSucceeded() const { return m_lastPresentOk; }
    bool IsTimerRunning() const { return m_timerRunning; }

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    void PreparePicture();
    void Present();

    SIZE m_pictureSize = {0, 0};
    bool m_lastPresentOk = false;
    bool m_timerRunning = false;
};
