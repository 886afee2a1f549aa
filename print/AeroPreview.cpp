// The template preview: what it shows, its layout, its cached pictures and their painting.
#include "print/AeroPreview.h"

#include <algorithm>

#include "framework/graphics/Frame3d.h"
#include "controls/ThemeFill.h"
#include "model/Geometry.h"
#include "model/PageSizes.h"
#include "render/DocumentBitmap.h"

using namespace Gdiplus;

BEGIN_MESSAGE_MAP(AeroPreview, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_MESSAGE(kPreviewPicturesMessage, OnPicturesDecoded)
END_MESSAGE_MAP()

namespace {

Bitmap* CloneBitmap(Bitmap* source) {
    if (!source) return nullptr;
    Bitmap* copy = source->Clone(0, 0, static_cast<INT>(source->GetWidth()),
                                 static_cast<INT>(source->GetHeight()), source->GetPixelFormat());
    if (copy && copy->GetLastStatus() != Ok) {
        delete copy;
        copy = nullptr;
    }
    return copy;
}

bool IsEmptyRect(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

AeroPreview::AeroPreview() {
    m_privateDocument = new KorvanelleDocument;
    m_rc.document = m_privateDocument;
    m_rc.purpose = 0;
}

AeroPreview::~AeroPreview() {
    m_previewPictures.End();
    FreeDimensionFields(m_fields);
    DestroyFieldControls();
    ReleasePrivateDocument();
    delete m_privateDocument;
    m_rc.document = nullptr;
    m_rc.currentObject = nullptr;
    delete m_sheet;
    delete m_cleanSheet;
    delete m_picture;
    for (GraphicsPath*& head : m_arrowHeads) {
        delete head;
        head = nullptr;
    }
}

void AeroPreview::ReleasePrivateDocument() {
    // The fields point into the document's objects.
    FreeDimensionFields(m_fields);
    m_privateDocument->DeleteContents(m_ownsTemplates);
    m_privateDocument->cachedSide = nullptr;
    m_privateDocument->cachedPage = nullptr;
    m_ownsTemplates = false;
    m_rc.currentObject = nullptr;
}

void AeroPreview::RepointAtSource() {
    if (!m_source) return;
    FreeDimensionFields(m_fields);
    m_privateDocument->CopyFrom(m_source, false, false);
    m_privateDocument->cachedSide = nullptr;
    m_privateDocument->cachedPage = nullptr;
    if (m_documentMode) {
        m_privateDocument->SetCurrentSideIndex(m_sideIndex);
        m_rc.currentObject = nullptr;
    } else {
        m_privateDocument->currentSideName = m_objectName;
        m_rc.currentObject = m_privateDocument->FindObject(m_objectName);
    }
}

// ---- what to show -------------------------------------------------------------------------------

void AeroPreview::SetTemplate(const LabelTemplate* labelTemplate, int sideIndex, int kind, bool redraw) {
    GuardOperation(4100, [&] {
        if (kind == kPreviewAlignment && !m_arrowHeads[0]) BuildArrowHeads(m_arrowHeads);
        m_documentMode = true;
        ReleasePrivateDocument();
        m_source = nullptr;
        m_objectName.Empty();
        m_privateDocument->InitWithTemplate(labelTemplate);
        m_ownsTemplates = true;
        m_privateDocument->SetCurrentSideIndex(sideIndex);
        m_sideIndex = sideIndex;
        m_rc.printOptions.SetDefaults();
        PrintOptions& o = m_rc.printOptions;
        o.printFront = o.printBack = o.printDisc1 = o.printDisc2 = 1;
        o.frontBorder = o.backBorder = o.discBorder = o.frontFold = o.backFold = 1;
        m_rc.purpose = kind;
    });
    if (redraw) Refresh();
}

void AeroPreview::SetDocument(KorvanelleDocument* design, int sideIndex, const PrintOptions* options,
                              int kind, bool redraw) {
    GuardOperation(4101, [&] {
        m_documentMode = true;
        ReleasePrivateDocument();
        m_source = design;
        m_objectName.Empty();
        m_sideIndex = sideIndex;
        RepointAtSource();
        if (options) m_rc.printOptions.CopyFrom(options);
        m_rc.purpose = kind;
    });
    if (redraw) Refresh();
}

void AeroPreview::SetTemplateObject(KorvanelleDocument* design, ViewObject* object,
                                    const PrintOptions* options, int kind, bool redraw) {
    GuardOperation(4102, [&] {
        m_documentMode = false;
        ReleasePrivateDocument();
        m_source = design;
        m_objectName = object ? object->name : CString();
        RepointAtSource();
        if (options) m_rc.printOptions.CopyFrom(options);
        m_rc.purpose = kind;
    });
    if (redraw) Refresh();
}

void AeroPreview::SetPrintOptions(const PrintOptions* options) {
    GuardOperation(4103, [&] {
        if (options) m_rc.printOptions.CopyFrom(options);
        if (!m_cleanSheet) return;
        Bitmap* restored = CloneBitmap(m_cleanSheet);
        if (!restored) return;
        delete m_sheet;
        m_sheet = restored;
        RepointAtSource();
        PreviewLayout layout;
        ComputeLayout(layout);
        {
            Graphics g(m_sheet);
            DrawOutlines(g, layout);
        }
        if (m_hWnd && ::IsWindowVisible(m_hWnd)) RedrawNow();
    });
}

// ---- layout and pictures ------------------------------------------------------------------------

RECT AeroPreview::ClientTarget() const {
    RECT r = {0, 0, 0, 0};
    if (m_hWnd) ::GetClientRect(m_hWnd, &r);
    return r;
}

ViewObject* AeroPreview::ShownObject() const {
    return m_rc.currentObject;
}

void AeroPreview::ComputeLayout(PreviewLayout& L) {
    GuardOperation(4104, [&] {
        // A paint may come after the caller's design changed and before a rebuild.
        RepointAtSource();
        if (IsEmptyRect(L.target)) L.target = ClientTarget();
        const int kind = m_rc.purpose;
        RectF design;
        int border = 0;
        if (kind == kPreviewLightScribe) {
            design = RectF(g_lightScribeGeometry[0], g_lightScribeGeometry[1], g_lightScribeGeometry[2],
                           g_lightScribeGeometry[3]);
            border = L.border ? 2 : 0;
        } else if (m_documentMode) {
            ViewObject* page = m_privateDocument->GetCurrentPage();
            if (!page) {
                L.draw = Rect(0, 0, L.target.right - L.target.left, L.target.bottom - L.target.top);
                return;
            }
            design = page->GetRectF(false);
            border = L.border ? 1 : 0;
        } else {
            ViewObject* object = ShownObject();
            if (!object) {
                L.draw = Rect(0, 0, L.target.right - L.target.left, L.target.bottom - L.target.top);
                return;
            }
            const int margin = m_rc.printOptions.GetMargin(object->type);
            design = object->GetRectF(false, margin);
        }
        LayoutPreviewPage(L, design, border, kind);
    });
}

void AeroPreview::PrepareSheet(const PreviewLayout& L, Bitmap*& sheet) {
    const int w = L.draw.Width, h = L.draw.Height;
    if (sheet && (static_cast<int>(sheet->GetWidth()) != w || static_cast<int>(sheet->GetHeight()) != h)) {
        delete sheet;
        sheet = nullptr;
    }
    if (!sheet) {
        if (w <= 0 || h <= 0) return;
        sheet = new Bitmap(w, h, PixelFormat24bppRGB);
        if (sheet->GetLastStatus() != Ok) {
            delete sheet;
            sheet = nullptr;
            return;
        }
    }
    Graphics g(sheet);
    g.SetPixelOffsetMode(PixelOffsetModeNone);
    g.SetSmoothingMode(SmoothingModeNone);
    const int kind = m_rc.purpose;
    if (kind == kPreviewLabelStock) {
        FillThemeRect(&g, 0, 0, L.target.right - L.target.left, L.target.bottom - L.target.top, 0, 0, 2);
        if (L.page.Width > 1.1920929e-07f && L.page.Height > 1.1920929e-07f) {
            SolidBrush white(Color(0xFFFFFFFF));
            g.FillRectangle(&white, L.page);
        }
    } else if (kind == kPreviewPrint) {
        g.Clear(Color(0xFF808080));
    } else {
        g.Clear(Color(0xFFFFFFFF));
    }
}

Bitmap* AeroPreview::RenderDesign(const RECT& target) {
    // The design drawn at a few times the scale the sheet shows it (PictureScale): its cost
    // follows the control, never the design's size, which a damaged template may make miles.
    PreviewLayout shown;
    shown.target = target;
    ComputeLayout(shown);
    PreviewLayout L;
    L.target = target;
    L.scaleX = PictureScale(shown.scaleX);
    L.scaleY = PictureScale(shown.scaleY);
    L.border = false;
    ComputeLayout(L);
    PrepareSheet(L, m_picture);
    if (!m_picture) return nullptr;
    PrintOptions plain(&m_rc.printOptions);
    plain.frontBorder = plain.backBorder = plain.discBorder = plain.frontFold = plain.backFold = 0;
    Graphics g(m_picture);
    const int kind = m_rc.purpose;
    RenderContext rc;
    // A preview drawn without a window (another control's picture) cannot wait for a thread.
    if (IsPreviewQuality(kind))
        rc.previewPicture = [this](ViewObject* picture, int width, int height, Bitmap*& copy) {
            return m_previewPictures.Picture(picture, width, height, copy, m_hWnd, kPreviewPicturesMessage);
        };
    if (m_documentMode) {
        rc.Setup(&g, L.scaleX, L.scaleY, kind, m_privateDocument, &plain);
        rc.offsetX = L.design.X;
        rc.offsetY = L.design.Y;
        DrawSide(rc);
    } else {
        ViewObject* object = ShownObject();
        if (!object) return nullptr;
        float e = 0;
        if (kind == kPreviewLightScribe)
            e = (g_lightScribeGeometry[2] - static_cast<float>(object->width)) * 0.5f;
        else if (kind == kPreviewExport)
            e = static_cast<float>(plain.GetMargin(object->type));
        rc.Init(&g, L.scaleX, L.scaleY, L.design.X - static_cast<float>(object->left) + e,
                L.design.Y - static_cast<float>(object->top) + e, kind, m_privateDocument, object, &plain);
        DrawSideObjects(rc);
    }
    return m_picture;
}

bool AeroPreview::PicturesPending() const {
    return m_previewPictures.Pending();
}

LRESULT AeroPreview::OnPicturesDecoded(WPARAM, LPARAM) {
    GuardOperation(4118, [&] {
        // Drawn again with it once the preview has drawn the design (until then it is drawn
        // with it anyway).
        if (!m_previewPictures.TakeArrived() || !m_cleanSheet) return;
        Rebuild(false, ClientTarget());
        RedrawNow();
    });
    return 0;
}

void AeroPreview::Rebuild(bool quick, const RECT& target) {
    GuardOperation(4105, [&] {
        RepointAtSource();
        PreviewLayout L;
        if (!IsEmptyRect(target)) L.target = target;
        ComputeLayout(L);
        PrepareSheet(L, m_sheet);
        if (!m_sheet) return;
        const int kind = m_rc.purpose;
        Graphics g(m_sheet);
        if (!quick && kind != kPreviewLabelStock && kind != kPreviewAlignment) {
            Bitmap* picture = RenderDesign(L.target);
            if (!picture) return;
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
            g.DrawImage(picture, L.page);
        }
        g.SetPixelOffsetMode(PixelOffsetModeNone);
        g.SetSmoothingMode(SmoothingModeNone);
        if (kind == kPreviewLabelStock || kind == kPreviewLightScribe)
            Draw3dFrame(&g, 0, 0, L.target.right - L.target.left, L.target.bottom - L.target.top, false,
                        false);
        if (m_documentMode && m_privateDocument->GetCurrentSideIndex() == 0 &&
            (kind == kPreviewLabelStock || kind == kPreviewPrint))
            return;
        if (kind == kPreviewLabelStock || kind == kPreviewPrint) {
            Pen black(Color(0xFF000000), 1.0f);
            g.DrawRectangle(&black, L.page.X - 1, L.page.Y - 1, L.page.Width + 1, L.page.Height + 1);
        }
        bool outlines = false;
        if (kind == kPreviewLabelStock || kind == kPreviewAlignment || kind == kPreviewThumbnail) {
            outlines = true;
        } else if (kind == kPreviewLightScribe) {
            outlines = !quick;
        } else if (kind == kPreviewPrint || kind == kPreviewExport) {
            if (!quick) {
                Bitmap* clean = CloneBitmap(m_sheet);
                if (clean) {
                    delete m_cleanSheet;
                    m_cleanSheet = clean;
                }
                outlines = true;
            }
        }
        if (outlines) DrawOutlines(g, L);
    });
}

std::vector<ViewObject*> AeroPreview::OutlinedObjects() {
    std::vector<ViewObject*> objects;
    if (m_documentMode) {
        RenderContext rc;
        rc.document = m_privateDocument;
        rc.purpose = m_rc.purpose;
        rc.printOptions.CopyFrom(&m_rc.printOptions);
        CObjectPtrArray list;
        rc.CollectObjects(list);
        for (INT_PTR i = 0; i < list.GetSize(); ++i) objects.push_back(list[i]);
    } else if (ShownObject()) {
        objects.push_back(ShownObject());
    }
    return objects;
}

void AeroPreview::DrawOutlines(Graphics& g, const PreviewLayout& L) {
    const int kind = m_rc.purpose;
    const std::vector<ViewObject*> objects = OutlinedObjects();
    if (kind == kPreviewAlignment) UpdateDimensionFields(L, objects);
    for (ViewObject* object : objects) {
        float ox = L.design.X, oy = L.design.Y;
        if (!m_documentMode && kind != kPreviewLightScribe) {
            const int margin = m_rc.printOptions.GetMargin(object->type);
            ox -= static_cast<float>(object->left - margin);
            oy -= static_cast<float>(object->top - margin);
        }
        {
            RenderContext rc;
            rc.Init(&g, L.scaleX, L.scaleY, ox, oy, kind, m_privateDocument, object, &m_rc.printOptions);
            rc.DrawSideOutline();
            if (m_documentMode && object->IsDisc() && m_privateDocument->IsDuplicateLayout() &&
                kind != kPreviewLabelStock && kind != kPreviewAlignment) {
                const PointF offset = m_privateDocument->GetOtherDiscOffset(object);
                RenderContext other;
                other.Init(&g, L.scaleX, L.scaleY, ox + offset.X, oy + offset.Y, kind, m_privateDocument,
                           object, &m_rc.printOptions);
                other.DrawSideOutline();
            }
        }
        if (kind == kPreviewAlignment && m_arrowHeads[0]) {
            GraphicsPath path(FillModeWinding);
            for (DimensionField* field : m_fields)
                if (field->object == object) AddFieldDimensionLines(path, *field, m_arrowHeads);
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            g.SetSmoothingMode(SmoothingModeHighQuality);
            g.ResetClip();
            g.ResetTransform();
            SolidBrush blue(Color(0xFF0000FF));
            g.FillPath(&blue, &path);
        }
    }
    // The print page's disc that this job leaves out, in grey.
    if (kind == kPreviewPrint && m_documentMode && m_privateDocument->GetCurrentSideIndex() == 1 &&
        !m_privateDocument->IsDiscCentered() && !m_privateDocument->IsDuplicateLayout()) {
        ViewObject* grey = nullptr;
        const PrintOptions& o = m_rc.printOptions;
        if (m_privateDocument->IsSingleDiscLayout())
            grey = m_privateDocument->GetDisc(2);
        else if ((o.printDisc1 != 0) != (o.printDisc2 != 0))
            grey = m_privateDocument->GetDisc(o.printDisc1 ? 2 : 1);
        if (grey) {
            PrintOptions all(&o);
            all.frontBorder = all.backBorder = all.discBorder = all.frontFold = all.backFold = 1;
            RenderContext rc;
            rc.Init(&g, L.scaleX, L.scaleY, L.design.X, L.design.Y, kPurposeInactiveOutline,
                    m_privateDocument, grey, &all);
            rc.DrawSideOutline();
        }
    }
}

void AeroPreview::Refresh() {
    GuardOperation(4106, [&] {
        CWaitCursor wait;
        Rebuild(false, ClientTarget());
        RedrawNow();
    });
}

void AeroPreview::RedrawNow() {
    if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void AeroPreview::CopyPicture(AeroPreview& other) {
    GuardOperation(4107, [&] {
        if (!other.m_sheet || !other.m_cleanSheet) return;
        Bitmap* sheet = CloneBitmap(other.m_sheet);
        Bitmap* clean = CloneBitmap(other.m_cleanSheet);
        if (!sheet || !clean) {
            delete sheet;
            delete clean;
            return;
        }
        delete m_sheet;
        delete m_cleanSheet;
        m_sheet = sheet;
        m_cleanSheet = clean;
    });
}

void AeroPreview::DiscardPicture() {
    delete m_sheet;
    m_sheet = nullptr;
    delete m_cleanSheet;
    m_cleanSheet = nullptr;
}

Bitmap* AeroPreview::RenderSideBitmap(KorvanelleDocument* design, ViewObject* object,
                                      const PrintOptions* options, int kind, int width, int height) {
    Bitmap* result = nullptr;
    GuardOperation(4108, [&] {
        RECT target = {0, 0, width, height};
        if (width == 0 && height == 0) target = ClientTarget();
        // A preview of its own without a window draws the picture, so that this control's own
        // document, choices and pictures stay exactly as they are.
        AeroPreview worker;
        worker.SetTemplateObject(design, object, options, kind, false);
        worker.Rebuild(false, target);
        result = worker.m_sheet;
        worker.m_sheet = nullptr;
    });
    return result;
}

// ---- window -------------------------------------------------------------------------------------

void AeroPreview::PreSubclassWindow() {
    GuardOperation(4109, [&] { ModifyStyle(0x1F, BS_OWNERDRAW, SWP_FRAMECHANGED); });
    CButton::PreSubclassWindow();
}

void AeroPreview::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(4110, [&] {
        const int kind = m_rc.purpose;
        const RECT client = ClientTarget();
        if ((!m_sheet || m_dirty) && kind != kPreviewLightScribe) {
            m_dirty = false;
            Rebuild(true, client);
            if (kind == kPreviewPrint || kind == kPreviewExport) SetTimer(kPreviewTimer, 0);
        }
        Bitmap* shown = m_borrowedSheet ? m_borrowedSheet : m_sheet;
        if (!shown) return;
        PreviewLayout L;
        L.target = client;
        ComputeLayout(L);
        const int w = static_cast<int>(shown->GetWidth()), h = static_cast<int>(shown->GetHeight());
        if (kind == kPreviewPrint || kind == kPreviewExport) {
            // The dialog's texture around the sheet, tiled by GDI: Wine's GDI+ fills with a
            // texture brush pixel by pixel, a fifth of the time the Print dialog took to show.
            ScopedSaveDC saved(drawItem->hDC);
            ::ExcludeClipRect(drawItem->hDC, L.draw.X, L.draw.Y, L.draw.X + w, L.draw.Y + h);
            TileThemeBackground(drawItem->hDC, drawItem->rcItem, 0, 0, 1);
        }
        Graphics g(drawItem->hDC);
        if (kind == kPreviewAlignment) ClipFieldControls(g);
        g.DrawImage(shown, L.draw.X, L.draw.Y, w, h);
    });
}

void AeroPreview::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(4111, [&] {
        if (!m_sheet) return;
        PreviewLayout L;
        ComputeLayout(L);
        POINT at = {point.x - (static_cast<int>(L.page.X) + L.draw.X),
                    point.y - (static_cast<int>(L.page.Y) + L.draw.Y)};
        if (CWnd* parent = GetParent())
            parent->SendMessage(kPreviewClickMessage, 0, reinterpret_cast<LPARAM>(&at));
    });
    (void)flags;
    Default();
}

void AeroPreview::OnDestroy() {
    m_previewPictures.End();
    DestroyFieldControls();
    FreeDimensionFields(m_fields);
    Default();
}

BOOL AeroPreview::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void AeroPreview::OnTimer(UINT_PTR id) {
    if (id != kPreviewTimer) {
        Default();
        return;
    }
    KillTimer(kPreviewTimer);
    GuardOperation(4112, [&] {
        CWaitCursor wait;
        Rebuild(false, ClientTarget());
        RedrawNow();
        SetFocus();
    });
}

void AeroPreview::OnSize(UINT type, int cx, int cy) {
    (void)type;
    (void)cx;
    (void)cy;
    if (m_rc.purpose == kPreviewLabelStock) m_dirty = true;
    Default();
}
