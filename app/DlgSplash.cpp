// The splash window: its picture, the fade on the timer, and the signal that start-up may go on.
#include "app/DlgSplash.h"

#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "controls/ThemeResources.h"
#include "framework/graphics/DibHelpers.h"

BEGIN_MESSAGE_MAP(DlgSplash, CDialog)
    ON_WM_CREATE()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SplashTickResult SplashFadeTick(SplashFade& fade, DWORD now) {
    SplashTickResult result;
    if (fade.fadingIn || fade.fadingOut) {
        if (fade.startTick == -1) fade.startTick = static_cast<int>(now);
        fade.alpha += fade.fadingIn ? SplashFade::kStep : -SplashFade::kStep;
        if (fade.alpha > 255) fade.alpha = 255;
        if (fade.alpha < 1) fade.alpha = 1;
        result.present = true;
    }
    if (fade.alpha == 255) {
        fade.fadingIn = false;
        const DWORD elapsed = now - static_cast<DWORD>(fade.startTick);
        if (elapsed > SplashFade::kDoneAfter) result.done = true;
        if (elapsed > SplashFade::kFadeOutAfter) fade.fadingOut = true;
    } else if (fade.alpha == 1) {
        result.end = true;
    }
    return result;
}

DlgSplash::DlgSplash() = default;

DlgSplash::~DlgSplash() = default;

BOOL DlgSplash::Start() {
    if (!Create(kTemplateId, nullptr)) return FALSE;
    ModifyStyleEx(0, WS_EX_LAYERED);
    ShowWindow(SW_SHOW);
    return TRUE;
}

int DlgSplash::OnCreate(LPCREATESTRUCT createStruct) {
    int result = 0;
    GuardOperation(374, [&] {
        PreparePicture();
        if (CDialog::OnCreate(createStruct) == -1) result = -1;
    });
    return result;
}

void DlgSplash::PreparePicture() {
    GuardOperation(2004, [&] {
        m_startTick = -1;
        m_alpha = 1;
        m_fadingIn = 0;
        m_fadingOut = 0;
        std::unique_ptr<Gdiplus::Bitmap> image(LoadImageFromResource(kPictureId));
        if (!image) return;
        const int width = static_cast<int>(image->GetWidth()), height = static_cast<int>(image->GetHeight());
        if (width <= 0 || height <= 0) return;
        // A 32-bit section with premultiplied alpha: the layered window blends with the
        // picture's own alpha channel.
        void* bits = nullptr;
        CClientDC windowDC(this);
        ScopedMemoryDC picture(windowDC.GetSafeHdc());
        if (!picture.Get()) return;
        if (!picture.Select(
                CreateTopDownDibSection(windowDC.GetSafeHdc(), width, height, 32, &bits).Release(), true) ||
            !bits)
            return;
        m_picture = std::move(picture);
        Gdiplus::Bitmap surface(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        {
            Gdiplus::Graphics graphics(&surface);
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            graphics.DrawImage(image.get(), 0, 0, width, height);
        }
        m_pictureSize = {width, height};
        // The window takes the picture's size; the dialog then centres it on the screen.
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

void DlgSplash::OnShowWindow(BOOL show, UINT status) {
    CDialog::OnShowWindow(show, status);
    // Only on showing: the window hides itself at the end, and that must not start it again.
    if (!show) return;
    m_fadingIn = 1;
    m_timerRunning = SetTimer(kTimerId, kTimerPeriod, nullptr) != 0;
}

void DlgSplash::Present() {
    SIZE size = m_pictureSize;
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(m_alpha), AC_SRC_ALPHA};
    ScopedWindowDC screen(nullptr);
    m_lastPresentOk =
        m_picture.Get() && size.cx > 0 &&
        ::UpdateLayeredWindow(m_hWnd, screen, nullptr, &size, m_picture.Get(), &source, 0, &blend, ULW_ALPHA);
}

void DlgSplash::OnTimer(UINT_PTR id) {
    GuardOperation(377, [&] {
        if (id != kTimerId) return;
        SplashFade fade;
        fade.fadingIn = m_fadingIn != 0;
        fade.fadingOut = m_fadingOut != 0;
        fade.alpha = m_alpha;
        fade.startTick = m_startTick;
        const SplashTickResult tick = SplashFadeTick(fade, ::GetTickCount());
        m_fadingIn = fade.fadingIn ? 1 : 0;
        m_fadingOut = fade.fadingOut ? 1 : 0;
        m_alpha = fade.alpha;
        m_startTick = fade.startTick;
        if (tick.present) Present();
        if (tick.done && m_doneFlag) *m_doneFlag = 1;
        if (tick.end) {
            KillTimer(kTimerId);
            m_timerRunning = false;
            EndDialog(1);
        }
    });
}

void DlgSplash::OnDestroy() {
    GuardOperation(375, [&] {
        if (m_timerRunning) KillTimer(kTimerId);
        m_timerRunning = false;
        m_picture.Reset();
        CDialog::OnDestroy();
    });
}
