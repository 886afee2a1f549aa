// Printing through the framework's print loop on the view: the print dialog in place of the
// framework's, each page's orientation and paper, each page rendered into the off-screen buffer
// at 300 pixels per inch (in print preview at the size it shows) and stretched onto the printer
// page with the printer's offsets, the calibration page, and printing one disc on a LightScribe
// drive. A print never changes the design: what a job changes for itself (centred discs, the
// calibration page's size) is put back exactly, however the job ends. The print preview draws its
// page without waiting for pictures slow to decode, and again once they came.
#include <cstring>

#include "canvas/AppCanvasState.h"
#include "canvas/CalibrationPage.h"
#include "canvas/CanvasMessage.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "controls/ThemeResources.h"
#include "framework/win/CommonDialogs.h"
#include "framework/win/ScopedGdi.h"
#include "model/Geometry.h"
#include "model/PageSizes.h"
#include "model/PrintOptions.h"
#include "render/CanvasSettings.h"
#include "render/DocumentBitmap.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

namespace {

HGLOBAL CopyBlock(HGLOBAL source) {
    if (!source) return nullptr;
    const SIZE_T size = ::GlobalSize(source);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    void* to = ::GlobalLock(copy);
    const void* from = ::GlobalLock(source);
    if (to && from) std::memcpy(to, from, size);
    if (from) ::GlobalUnlock(source);
    if (to) ::GlobalUnlock(copy);
    if (!to || !from) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

// What the user hears of a print job given up for the pictures it could not draw.
CString UndrawnPrintMessage(const CString& names) {
    return "Nothing was printed: these pictures could not be drawn (too little memory is left to decode "
           "them, or their data is damaged):\r\n\r\n" +
           names + "\r\n\r\nPlease close all other running programs and try again.";
}

}  // namespace

int View::SidePageOfJobPage(int page) const {
    return m_skipFrontPage && page == 2 ? 3 : page;
}

void View::SetPrintPageRange() {
    GuardOperation(950, [&] {
        const PrintOptions& o = g_printOptions;
        const bool samePage = m_design.AreCoversOnSamePage();
        int first = 0, last = 0;
        m_skipFrontPage = false;
        if (o.printBack) first = samePage ? 2 : 3;
        if (o.printFront) first = 2;
        if (o.printDisc1 || (o.printDisc2 && m_design.IsTwoDiscLayout())) first = last = 1;
        if (o.printFront) last = 2;
        if (o.printBack) last = samePage ? 2 : 3;
        if (first == 1 && last == 3 && !o.printFront) {
            last = 2;
            m_skipFrontPage = true;
        }
        m_firstPrintPage = first;
        m_lastPrintPage = last;
    });
}

bool View::IsDirectDiscPrint() {
    if (m_calibrationMode) return false;
    const PrintOptions& o = g_printOptions;
    return m_design.IsDiscCentered() && (o.printDisc1 || (o.printDisc2 && m_design.IsTwoDiscLayout()));
}

void View::SelectPrinterDevice(CPrintInfo* pInfo, const CanvasPrinterSetup& setup) {
    if (!pInfo || !pInfo->m_pPD) return;
    PRINTDLG& pd = pInfo->m_pPD->m_pd;
    if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
    pd.hDevNames = CopyBlock(setup.devNames);
    pd.hDevMode = CopyBlock(IsDirectDiscPrint() ? setup.discDevMode : setup.paperDevMode);
}

void View::CentreDiscsForPrint(bool centre) {
    GuardOperation(951, [&] {
        if (!centre) {
            RestorePrintDiscSnapshot();
            return;
        }
        const PrintOptions& o = g_printOptions;
        LabelTemplate* discs = m_design.GetDiscTemplate();
        if (!discs || !(o.printDisc1 || o.printDisc2) || !m_design.IsDiscCentered() ||
            AppCanvasState::Get().m_inPrintPreview)
            return;
        // The geometry of every object of the disc template, put back exactly after the job.
        m_printDiscSnapshot.clear();
        for (int i = 0; i < discs->GetObjectCount(); ++i) {
            ViewObject* d = discs->GetObject(i);
            m_printDiscSnapshot.push_back(
                {d, d->left, d->top, d->width, d->height, d->savedLeft, d->savedTop});
        }
        discs->CenterDiscs(true, false);
    });
}

bool View::RestorePrintDiscSnapshot() {
    if (m_printDiscSnapshot.empty()) return false;
    LabelTemplate* discs = m_design.GetDiscTemplate();
    for (const PrintGeometry& g : m_printDiscSnapshot) {
        bool present = false;
        for (int i = 0; discs && i < discs->GetObjectCount() && !present; ++i)
            present = discs->GetObject(i) == g.object;
        if (!present) continue;
        g.object->left = g.left;
        g.object->top = g.top;
        g.object->width = g.width;
        g.object->height = g.height;
        g.object->savedLeft = g.savedLeft;
        g.object->savedTop = g.savedTop;
        g.object->needsLayout = 1;
    }
    m_printDiscSnapshot.clear();
    return true;
}

void View::SetCalibrationPageSize(bool paperSize) {
    GuardOperation(952, [&] {
        if (!paperSize) {
            if (m_calibrationPageChanged) {
                if (ViewObject* page = m_design.FindPage(1, true)) {
                    page->width = m_calibrationSavedPage.cx;
                    page->height = m_calibrationSavedPage.cy;
                }
                m_calibrationPageChanged = false;
            }
            return;
        }
        if (!m_calibrationMode) return;
        ViewObject* page = m_design.FindPage(1, true);
        if (!page) return;
        if (!m_calibrationPageChanged) m_calibrationSavedPage = CSize(page->width, page->height);
        const int* paper = g_paperSize == "A4" ? g_paperDims[3] : g_paperDims[0];
        page->width = paper[0];
        page->height = paper[1];
        m_calibrationPageChanged = true;
    });
}

BOOL View::OnPreparePrinting(CPrintInfo* pInfo) {
    BOOL prepared = FALSE;
    GuardOperation(953, [&] {
        m_lastPrintedPage = -1;
        AppCanvasState& app = AppCanvasState::Get();
        ViewHost* host = GetHost();
        bool dialogShown = false;
        if (m_printFromPreview) {
            m_printFromPreview = false;
        } else if (!pInfo->m_bPreview) {
            const int result = host ? host->RunPrintDialog(this) : IDCANCEL;
            dialogShown = true;
            if (result == 7) {
                PrintOnLightScribe(true);
                return;
            }
            if (result == kPrintDialogPreview) {
                SetTimer(kTimerPrintPreview, 10);
                return;
            }
            if (result != IDOK) {
                m_calibrationMode = false;
                return;
            }
        }
        (void)dialogShown;
        if (m_calibrationMode) {
            m_firstPrintPage = m_lastPrintPage = 1;
            m_skipFrontPage = false;
        }
        // No side chosen: no job.
        if (m_firstPrintPage < 1 || m_lastPrintPage < m_firstPrintPage) return;
        if (!pInfo->m_bPreview && !m_calibrationMode && !CanDrawPrintPictures()) return;
        if (g_helpCdPrinter && IsDirectDiscPrint() && !app.m_inPrintPreview) {
            ShowCanvasMessageOk(
                this, kMessageInformation, CString(),
                "You have chosen to print directly on a CD.\r\n\r\nPlease make sure the print driver "
                "settings are correct on the next screen.");
            g_helpCdPrinter = 0;
            if (host) host->ShowPrinterProperties(m_hWnd, 1);
        }
        CentreDiscsForPrint(true);
        SetCalibrationPageSize(true);
        if (host) host->SetPrinterCopies(pInfo->m_bPreview || m_calibrationMode ? 1 : g_printCopies);
        CanvasPrinterSetup setup;
        if (host && host->GetCurrentPrinterSetup(setup)) SelectPrinterDevice(pInfo, setup);
        pInfo->SetMinPage(m_firstPrintPage);
        pInfo->SetMaxPage(m_lastPrintPage);
        if (pInfo->m_pPD) {
            pInfo->m_pPD->m_pd.nFromPage = static_cast<WORD>(m_firstPrintPage);
            pInfo->m_pPD->m_pd.nToPage = static_cast<WORD>(m_lastPrintPage);
            pInfo->m_pPD->m_pd.Flags |= PD_PAGENUMS;
        }
        if (!pInfo->m_bPreview) pInfo->m_bDirect = TRUE;
        pInfo->m_nNumPreviewPages = 1;
        prepared = DoPreparePrinting(pInfo);
        if (!prepared) {
            // The job did not start: the design gets back what was changed for it.
            CentreDiscsForPrint(false);
            SetCalibrationPageSize(false);
        }
    });
    if (!prepared) {
        CentreDiscsForPrint(false);
        SetCalibrationPageSize(false);
    }
    return prepared;
}

bool View::CanDrawPrintPictures() {
    // Every picture of the job is decoded here once, seconds for large photos.
    CWaitCursor wait;
    CObjectPtrArray undrawn;
    for (int jobPage = m_firstPrintPage; jobPage <= m_lastPrintPage; ++jobPage) {
        const int page = SidePageOfJobPage(jobPage);
        KorvanelleDocument job;
        job.CopyFrom(&m_design, false, false);
        job.SetCurrentSideIndex(page);
        if (job.GetCurrentSideIndex() == page)
            CheckSidePictures(&job, kPurposePrint, &g_printOptions, undrawn);
        job.DeleteContents(false);
    }
    if (undrawn.GetSize() == 0) return true;
    ShowCanvasMessageOk(this, kMessageWarning, CString(), UndrawnPrintMessage(UndrawnPictureNames(undrawn)));
    return false;
}

void View::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    GuardOperation(954, [&] {
        if (!pInfo || !pDC || !pInfo->m_pPD) return;
        const int page = SidePageOfJobPage(static_cast<int>(pInfo->m_nCurPage));
        ViewObject* pageObject = m_design.FindPage(page, true);
        if (!pageObject) return;
        const int w = pageObject->width, h = pageObject->height;
        const bool disc = IsDirectDiscPrint();
        if (disc && !pInfo->m_bPreview && !m_calibrationMode) return;
        HGLOBAL mode = pInfo->m_pPD->m_pd.hDevMode;
        DEVMODEA* dm = mode ? static_cast<DEVMODEA*>(::GlobalLock(mode)) : nullptr;
        if (!dm) return;
        if (!disc) {
            dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
            dm->dmOrientation = h < w ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            dm->dmPaperSize = static_cast<short>(g_paperCodes[FindPaperSizeIndex(0, 0, w, h)]);
        } else {
            dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH | DM_COPIES;
            dm->dmOrientation = DMORIENT_PORTRAIT;
            dm->dmPaperSize = DMPAPER_USER;
            dm->dmPaperWidth = static_cast<short>(w * 0.254);
            dm->dmPaperLength = static_cast<short>(h * 0.254);
        }
        ::ResetDCA(pDC->m_hDC, dm);
        ::GlobalUnlock(mode);
    });
    CScrollView::OnPrepareDC(pDC, pInfo);
}

void View::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    GuardOperation(955, [&] {
        if (!pDC || !pInfo || !m_memDC) return;
        const int page = SidePageOfJobPage(static_cast<int>(pInfo->m_nCurPage));
        KorvanelleDocument job;
        job.CopyFrom(&m_design, false, false);
        struct Release {
            KorvanelleDocument& d;
            ~Release() { d.DeleteContents(false); }
        } release{job};
        job.SetCurrentSideIndex(page);
        ViewObject* pageObject = job.GetCurrentPage();
        if (!pageObject || job.GetCurrentSideIndex() != page) return;
        const int w = pageObject->width, h = pageObject->height;
        HDC dc = pDC->m_hDC;
        // The printer's resolution and offsets come from the context's attribute side: in print
        // preview the output goes to a screen bitmap, which would answer with the screen's.
        const CSize printer(static_cast<int>(w * pDC->GetDeviceCaps(LOGPIXELSX) / 1000.0),
                            static_cast<int>(h * pDC->GetDeviceCaps(LOGPIXELSY) / 1000.0));
        CSize buffer(static_cast<int>(w * 300 / 1000.0), static_cast<int>(h * 300 / 1000.0));
        // A preview shows the page smaller than paper: it is drawn at the size it shows, pixel for
        // pixel, so that a printed line keeps a pixel of its own there.
        CSize device = printer;
        double reach = 1.0;
        if (const CPreviewDC* shown = pInfo->m_bPreview ? dynamic_cast<CPreviewDC*>(pDC) : nullptr) {
            buffer = device = shown->PrinterToShown(printer);
            reach = shown->GetReach();
        }
        if (buffer.cx > m_bufferSize.cx || buffer.cy > m_bufferSize.cy) {
            Size fitted = FitSize(w, h, m_bufferSize.cx, m_bufferSize.cy, false);
            buffer = CSize(fitted.Width, fitted.Height);
        }
        if (buffer.cx <= 0 || buffer.cy <= 0 || printer.cx <= 0 || printer.cy <= 0) return;
        ::SetMapMode(dc, MM_ANISOTROPIC);
        ::SetWindowExtEx(dc, buffer.cx, buffer.cy, nullptr);
        ::SetViewportExtEx(dc, device.cx, device.cy, nullptr);
        int ox = static_cast<int>(pDC->GetDeviceCaps(PHYSICALOFFSETX) * static_cast<double>(buffer.cx) /
                                  printer.cx);
        int oy = static_cast<int>(pDC->GetDeviceCaps(PHYSICALOFFSETY) * static_cast<double>(buffer.cy) /
                                  printer.cy);
        CanvasPrinterSetup setup;
        ViewHost* host = GetHost();
        if (!pInfo->m_bPreview && host && host->GetCurrentPrinterSetup(setup)) {
            if (w < h) {
                ox += static_cast<int>(-25 * setup.calibrationX * 0.3);
                oy += static_cast<int>(-25 * setup.calibrationY * 0.3);
            } else {
                ox += static_cast<int>(-25 * setup.calibrationY * 0.3);
                oy += static_cast<int>(25 * setup.calibrationX * 0.3);
            }
        }
        ::SetWindowOrgEx(dc, ox, oy, nullptr);
        if (pInfo->m_bPreview) {
            ::IntersectClipRect(dc, 0, 0, buffer.cx, buffer.cy);
        } else {
            ::SelectClipRgn(dc, nullptr);
        }
        ::SetStretchBltMode(dc, HALFTONE);
        if (page != m_lastPrintedPage || buffer != m_lastPrintedBuffer) {
            // Printed, the page's pictures are decoded for it at full size: seconds for large
            // photos.
            CWaitCursor wait;
            m_lastPrintedPage = page;
            m_lastPrintedBuffer = buffer;
            double sx = 0, sy = 0;
            ModelToDevice(pageObject, Rect(0, 0, buffer.cx, buffer.cy), sx, sy);
            RenderContext ctx;
            ctx.Setup(m_memGraphics, sx, sy, kPurposePrint, &job, &g_printOptions);
            // The preview does not wait for them: they are decoded on a thread while the window
            // answers, and the page is drawn again once they are there.
            if (pInfo->m_bPreview)
                ctx.previewPicture = [this, reach](ViewObject* picture, int width, int height,
                                                   Bitmap*& copy) {
                    return m_printPreviewPictures.Picture(picture, width, height, copy, m_hWnd,
                                                          WM_PRINT_PREVIEW_PICTURES, reach);
                };
            RenderSide(ctx);
            if (pInfo->m_bPreview && m_printPreviewPictures.Pending()) {
                GraphicsState saved = m_memGraphics->Save();
                m_memGraphics->ResetTransform();
                m_memGraphics->ResetClip();
                const RectF area(0, 0, static_cast<REAL>(buffer.cx), static_cast<REAL>(buffer.cy));
                Font font(L"Arial", area.Height / 30, FontStyleBold, UnitPixel);
                StringFormat middle;
                middle.SetAlignment(StringAlignmentCenter);
                middle.SetLineAlignment(StringAlignmentCenter);
                SolidBrush ink(Color(255, 64, 64, 64));
                m_memGraphics->DrawString(L"Preparing pictures\u2026", -1, &font, area, &middle, &ink);
                m_memGraphics->Restore(saved);
            }
            if (ctx.undrawnPictures.GetSize() > 0 && !pInfo->m_bPreview) {
                // A page that lacks a picture is not printed, nor is the rest of the job: it is
                // given up here, and the user hears why when it ends.
                m_printUndrawnPictures = UndrawnPictureNames(ctx.undrawnPictures);
                m_lastPrintedPage = -1;
                ::AbortDoc(dc);
                pInfo->m_bContinuePrinting = FALSE;
                return;
            }
        }
        ::StretchBlt(dc, 0, 0, buffer.cx, buffer.cy, m_memDC->m_hDC, 0, 0, buffer.cx, buffer.cy, SRCCOPY);
    });
}

void View::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
    GuardOperation(956, [&] {
        CentreDiscsForPrint(false);
        SetCalibrationPageSize(false);
        if (pInfo && !pInfo->m_bPreview) m_calibrationMode = false;
    });
    CScrollView::OnEndPrinting(pDC, pInfo);
    // Printing used the buffer: the screen's side goes back into it.
    Redraw(true);
    if (!m_printUndrawnPictures.IsEmpty()) {
        const CString names = m_printUndrawnPictures;
        m_printUndrawnPictures.Empty();
        ShowCanvasMessageOk(this, kMessageWarning, CString(), UndrawnPrintMessage(names));
    }
}

LRESULT View::OnPrintPreviewPictures(WPARAM, LPARAM) {
    GuardOperation(962, [&] {
        if (!m_printPreviewPictures.TakeArrived()) return;
        CFrameWnd* frame = GetParentFrame();
        CPreviewView* preview = frame ? dynamic_cast<CPreviewView*>(frame->GetActiveView()) : nullptr;
        if (!preview || preview->m_pPrintView != this) return;
        m_lastPrintedPage = -1;
        preview->SetCurrentPage(preview->GetCurrentPage());
    });
    return 0;
}

void View::OpenPrintPreview() {
    // The preview's print preparation reads the flag; a preview that did not open leaves none.
    AppCanvasState& app = AppCanvasState::Get();
    app.m_inPrintPreview = 1;
    OnFilePrintPreview();
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr || !frame->IsInPreview()) app.m_inPrintPreview = 0;
}

void View::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView) {
    m_paintEnabled = false;
    const UINT ended = pView ? pView->m_nEndCommand : 0;
    if (ended == AFX_ID_PREVIEW_PRINT) m_printFromPreview = true;
    CScrollView::OnEndPrintPreview(pDC, pInfo, point, pView);
    GuardOperation(957, [&] {
        AppCanvasState::Get().m_inPrintPreview = 0;
        m_printPreviewPictures.End();
        RecenterView(true, true);
        m_paintEnabled = true;
        RefreshView(CString());
        if (ViewHost* host = GetHost()) host->RedrawMenuBar();
        if (ended == AFX_ID_PREVIEW_CLOSE) SetTimer(kTimerPrintAgain, 10);
    });
    m_paintEnabled = true;
}

void View::OnPrinterCalibration() {
    GuardOperation(958, [&] {
        m_calibrationMode = true;
        OnFilePrint();
    });
}

void View::OnLightScribePrint() {
    PrintOnLightScribe(false);
}

void View::PrintOnLightScribe(bool fromPrintDialog) {
    GuardOperation(959, [&] {
        CWaitCursor wait;
        ViewHost* host = GetHost();
        const CString link = g_programFolder + "\\lightscribe.url";
        const int availability = host ? host->LightScribeAvailability() : 0;
        if (availability == 0) {
            CanvasMessageButton more{"More Info..", 0, true, g_programFolder + "\\lightscribeinfo.url"};
            CanvasMessageButton cancel{"Cancel", 2, false, CString()};
            ShowCanvasMessage(
                this, kMessageInformation, "LightScribe",
                "This option requires a LightScribe CD/DVD drive and LightScribe System Software "
                "(LSS).\r\n\r\nThe LightScribe System Software (LSS) can be downloaded for free at:",
                link, {more, cancel});
            return;
        }
        if (availability == 2) host->UpdateMainToolbarButtons();
        while (!host->HaveLightScribeDrive()) {
            CanvasMessageButton retry{"Retry", 1, true, CString()};
            CanvasMessageButton cancel{"Cancel", 2, false, CString()};
            const int answer = ShowCanvasMessage(this, kMessageInformation, "No LightScribe Drives Found",
                                                 "Please attach a LightScribe CD/DVD drive to your "
                                                 "computer.\r\n\r\nIf you have an external drive, "
                                                 "make sure it's connected and turned on.\r\n\r\nYou might "
                                                 "need to update your LightScribe System "
                                                 "Software (LSS) at:",
                                                 link, {retry, cancel});
            if (answer != 1) return;
        }
        CString discName;
        if (fromPrintDialog) {
            discName = g_printOptions.printDisc1 ? "Disc 1" : "Disc 2";
        } else if (m_design.IsLightScribeTemplate() && m_design.IsSingleDiscLayout()) {
            discName = "Disc 1";
        } else {
            const int r = host->RunLightScribeDialog();
            if (r < 10) return;
            discName.Format("Disc %d", r - 9);
        }
        ViewObject* disc = m_design.FindObject(discName);
        if (!disc) return;
        Bitmap* bitmap = nullptr;
        CObjectPtrArray undrawn;
        for (int dpi : {600, 300, 150}) {
            // The laser draws the disc itself: no paper bleed, no outline.
            bitmap = RenderDocumentToBitmap(&m_design, disc, kPurposeLightScribe, dpi, nullptr, &undrawn);
            if (bitmap) break;
        }
        if (!bitmap && undrawn.GetSize() > 0) {
            ShowCanvasMessageOk(
                this, kMessageWarning, "LightScribe",
                "The disc was not printed: these pictures could not be drawn (too little memory "
                "is left to decode them, or their data is damaged):\r\n\r\n" +
                    UndrawnPictureNames(undrawn) +
                    "\r\n\r\nPlease close all other running programs and try again.");
            return;
        }
        if (!bitmap) {
            ShowCanvasMessageOk(
                this, kMessageWarning, "Low Memory",
                "Your computer does not have enough memory to create the LightScribe image.\r\n\r\n"
                "Please close all other running programs and try again.");
            return;
        }
        const int result = host->LightScribePrint(bitmap);
        delete bitmap;
        if (result == 2) {
            ShowCanvasMessageOk(
                this, kMessageInformation, "LightScribe",
                "There was a problem saving the LightScribe image.\r\n\r\nPlease close all other "
                "running programs and try again.");
        } else if (result == 3) {
            CanvasMessageButton cancel{"Cancel", 2, true, CString()};
            ShowCanvasMessage(
                this, kMessageInformation, "Update LightScribe Software",
                "Your LightScribe System Software needs to be updated.\r\n\r\nThe LightScribe System "
                "Software (LSS) can be downloaded for free at:",
                link, {cancel});
        }
    });
}

void View::DrawCalibrationPage(RenderContext& ctx) {
    GuardOperation(961, [&] {
        ViewObject* page = ctx.document ? ctx.document->GetCurrentPage() : nullptr;
        if (!page || !m_memDC) return;
        HDC dc = m_memDC->m_hDC;
        const int w = page->width, h = page->height;
        ::SetMapMode(dc, MM_ANISOTROPIC);
        ::SetWindowExtEx(dc, w, h, nullptr);
        ::SetViewportExtEx(dc, static_cast<int>(w * ctx.scaleX), static_cast<int>(h * ctx.scaleY), nullptr);
        ::SetWindowOrgEx(dc, 0, 0, nullptr);
        ::SetViewportOrgEx(dc, 0, 0, nullptr);
        const int dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
        const double fontScale = g_uiFontScale > 0 ? g_uiFontScale : 1.0;
        const CString face = g_uiFaceName.IsEmpty() ? CString("Arial") : g_uiFaceName;
        auto makeFont = [&](int factor, CFont& font) {
            LOGFONTA lf = {};
            lf.lfHeight = -CalibrationFontHeight(factor, ctx.scaleY, fontScale, dpiY);
            lf.lfWeight = 300;
            lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
            font.CreateFontIndirect(&lf);
        };
        CFont text, title, label;
        makeFont(1000, text);
        makeFont(1815, title);
        makeFont(825, label);
        const int lineHeight = CalibrationFontHeight(1000, ctx.scaleY, fontScale, dpiY) * 12 / 10;
        const int labelHeight = CalibrationFontHeight(825, ctx.scaleY, fontScale, dpiY);
        Rect printable = GetPrintableArea(0, 0, w, h);
        int offsetX = 0, offsetY = 0;
        CanvasPrinterSetup setup;
        if (ViewHost* host = GetHost())
            if (host->GetCurrentPrinterSetup(setup)) {
                offsetX = setup.calibrationX;
                offsetY = setup.calibrationY;
            }
        CalibrationPrimitives primitives =
            BuildCalibrationPage(w, h, printable.X, printable.Y, offsetX, offsetY, g_paperSize == "A4",
                                 g_units == "Inches", lineHeight, labelHeight);
        {
            ScopedSelect pen(dc, ::GetStockObject(BLACK_PEN));
            for (const CalibrationLine& l : primitives.lines) {
                ::MoveToEx(dc, l.x1, l.y1, nullptr);
                ::LineTo(dc, l.x2, l.y2);
            }
        }
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkMode(dc, TRANSPARENT);
        ScopedSelect keepFont(dc, text.m_hObject);
        for (const CalibrationText& t : primitives.texts) {
            CFont& font = t.factor == 1815 ? title : t.factor == 825 ? label : text;
            keepFont.Switch(font.m_hObject);
            ::SetTextAlign(dc, t.align);
            ::TextOutA(dc, t.x, t.y, t.text, t.text.GetLength());
        }
        ::SetTextAlign(dc, TA_LEFT | TA_TOP);
        keepFont.Restore();
        ::SetMapMode(dc, MM_TEXT);
    });
}
