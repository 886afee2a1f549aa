#include "GoldenDesigns.h"

#include <cmath>

#include "app/PaperTable.h"
#include "RenderFixtures.h"

using namespace Gdiplus;

namespace rt {

ViewObject* MakeImageObject(const char* name, int side, const char* sideName, int x, int y, int w, int h,
                            int pixelsW, int pixelsH) {
    ViewObject* o = NewViewObject(kObjectImage, name, side, sideName, x, y, w, h);
    Bitmap picture(pixelsW, pixelsH, PixelFormat24bppRGB);
    {
        Graphics g(&picture);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        LinearGradientBrush sky(Point(0, 0), Point(0, pixelsH), Color(255, 40, 90, 200),
                                Color(255, 250, 200, 120));
        g.FillRectangle(&sky, 0, 0, pixelsW, pixelsH);
        SolidBrush sun(Color(255, 255, 230, 60));
        g.FillEllipse(&sun, pixelsW * 0.6f, pixelsH * 0.15f, pixelsW * 0.2f, pixelsW * 0.2f);
        SolidBrush hill(Color(255, 30, 120, 50));
        PointF hillPoints[] = {PointF(0, pixelsH * 0.8f),
                               PointF(pixelsW * 0.3f, pixelsH * 0.55f),
                               PointF(pixelsW * 0.7f, pixelsH * 0.75f),
                               PointF(static_cast<REAL>(pixelsW), pixelsH * 0.6f),
                               PointF(static_cast<REAL>(pixelsW), static_cast<REAL>(pixelsH)),
                               PointF(0, static_cast<REAL>(pixelsH))};
        g.FillPolygon(&hill, hillPoints, 6);
        // Fine detail, so that scaling shows.
        Pen stripe(Color(255, 255, 255, 255), 2.0f);
        for (int i = 0; i < pixelsW; i += pixelsW / 20 + 1)
            g.DrawLine(&stripe, i, 0, i + pixelsH / 4, pixelsH / 4);
    }
    o->image.EncodeImage(&picture, false);
    return o;
}

ViewObject* MakeTextObject(const char* name, int side, const char* sideName, int x, int y, int w, int h,
                           const char* text, const char* face, int tenths, int weight, bool italic,
                           COLORREF color) {
    ViewObject* o = NewViewObject(kObjectText, name, side, sideName, x, y, w, h);
    o->alignment = "Center";
    SetStyledText(o, text, face, tenths, weight, italic, color);
    return o;
}

namespace {

void SetSideColor(ViewObject* side, COLORREF color) {
    side->charColors.Add(new COLORREF(color));
}

ViewObject* Linked(ViewObject* o) {
    o->bLinkText = 1;
    return o;
}

ViewObject* TrackList(const char* name, int side, const char* sideName, int x, int y, int w, int h,
                      const char* layout, const char* wrap, const char* numbers, bool autoFit,
                      const char* face, int tenths, COLORREF color) {
    ViewObject* o = NewViewObject(kObjectTrack, name, side, sideName, x, y, w, h);
    o->textLayout = layout;
    o->wrapStyle = wrap;
    o->trackNumbers = numbers;
    o->alignment = "Left";
    o->bAutoFit = autoFit ? 1 : 0;
    o->bLinkText = 1;
    SetStyledText(o, "1. \bTrack\b 0:01\b", face, tenths, 400, false, color);
    SetCharFont(o, 4, face, tenths, 700, false);            // titles bold
    SetCharFont(o, 10, "Courier New", tenths, 400, false);  // times in a fixed face
    return o;
}

// Texts on a cover side in several fonts and angles, plus an image with a hue change.
void DecorateCover(LabelTemplate* t, const ViewObject* side, const char* suffix, const char* trackLayout,
                   const char* trackWrap, int variant) {
    const int s = side->side, x = side->left, y = side->top, w = side->width, h = side->height;
    const char* on = side->name;
    CString n;
    auto name = [&](const char* base) {
        n.Format("%s(%d)", base, variant);
        return static_cast<const char*>(n);
    };
    const bool folded = side->IsFoldedFrontCover();
    const int px = folded ? x + w / 2 : x;  // the outer panel of a folded cover
    const int pw = folded ? w / 2 : w;
    t->AddObject(
        MakeImageObject(name("Image"), s, on, px + pw / 20, y + h / 2, pw * 9 / 20, h * 9 / 20, 320, 200));
    ViewObject* image = t->GetObject(t->GetObjectCount() - 1);
    image->hue = 120;
    image->saturation = 20;
    t->AddObject(Linked(MakeTextObject(name("Artist"), s, on, px + pw / 10, y + h / 20, pw * 8 / 10, h / 6,
                                       "Artist\b", "Arial", 280, 700, false, RGB(20, 20, 90))));
    ViewObject* title =
        Linked(MakeTextObject(name("Title"), s, on, px + pw * 85 / 100, y + h / 4, pw / 8, h * 7 / 10,
                              "Title\b", "Times New Roman", 220, 400, true, RGB(120, 0, 0)));
    title->angle = "90 degrees";
    t->AddObject(title);
    ViewObject* year =
        Linked(MakeTextObject(name("Year"), s, on, px + pw / 10, y + h * 22 / 100, pw / 3, h / 10, "Year\b",
                              "Courier New", 160, 400, false, RGB(0, 90, 0)));
    year->angle = "180 degrees";
    year->charUnderlines[0] = 1;
    year->charUnderlines[1] = 1;
    t->AddObject(year);
    ViewObject* genre = Linked(MakeTextObject(name("Genre"), s, on, px + pw / 40, y + h / 4, pw / 12, h / 2,
                                              "Genre\b", "Tahoma", 140, 400, false, RGB(60, 60, 60)));
    genre->angle = "270 degrees";
    t->AddObject(genre);
    ViewObject* fit = MakeTextObject(name("Text "), s, on, px + pw / 2, y + h * 22 / 100, pw * 3 / 10, h / 5,
                                     "Fitted text\rin two lines\b", "Arial", 120, 400, true, RGB(200, 80, 0));
    fit->name.Format("Text %d", variant);
    fit->bAutoFit = 1;
    t->AddObject(fit);
    CString trackName;
    trackName.Format("Track List%s(%d)", suffix, variant);
    t->AddObject(TrackList(trackName, s, on, px + pw / 2, y + h / 2, pw * 45 / 100, h * 45 / 100, trackLayout,
                           trackWrap, "Track Numbers && Times", false, "Arial", 90, RGB(0, 0, 0)));
}

void DecorateDisc(LabelTemplate* t, const ViewObject* disc, const char* suffix, const char* trackLayout,
                  const char* trackWrap, int variant) {
    const int s = disc->side, x = disc->left, y = disc->top, w = disc->width;
    const char* on = disc->name;
    CString n;
    auto name = [&](const char* base) {
        n.Format("%s%s(%d)", base, suffix, variant);
        return static_cast<const char*>(n);
    };
    t->AddObject(MakeImageObject(name("Image"), s, on, x + w / 4, y + w / 12, w / 2, w / 5, 400, 200));
    ViewObject* image = t->GetObject(t->GetObjectCount() - 1);
    image->hue = -90;
    t->AddObject(Linked(MakeTextObject(name("Artist"), s, on, x + w / 4, y + w / 16, w / 2, w / 10,
                                       "Artist\b", "Arial", 240, 700, false, RGB(255, 255, 255))));
    ViewObject* title =
        Linked(MakeTextObject(name("Title"), s, on, x + w / 4, y + w * 17 / 100, w / 2, w / 12, "Title\b",
                              "Times New Roman", 200, 400, true, RGB(255, 255, 200)));
    t->AddObject(title);
    ViewObject* year = Linked(MakeTextObject(name("Year"), s, on, x + w / 20, y + w * 4 / 10, w / 10, w / 5,
                                             "Year\b", "Courier New", 120, 700, false, RGB(0, 0, 0)));
    year->angle = "90 degrees";
    t->AddObject(year);
    CString trackName;
    trackName.Format("Track List%s(%d)", suffix, variant);
    // Across the hole, so that the lines split around it (or skip its band).
    t->AddObject(TrackList(trackName, s, on, x, y + w * 3 / 10, w, w * 7 / 10, trackLayout, trackWrap,
                           "Track Numbers && Times", true, "Arial", 100, RGB(255, 250, 210)));
}

GoldenDesign* Build(LabelTemplate* discTemplate, LabelTemplate* coverTemplate, const char* name, int layout,
                    const char* discTrackLayout, const char* frontTrackLayout, const char* backTrackLayout,
                    const char* backWrap, COLORREF discColor, COLORREF frontColor, COLORREF backColor) {
    GoldenDesign* d = new GoldenDesign();
    d->name = name;
    KorvanelleDocument& doc = d->doc;
    doc.CreateFromTemplates(discTemplate, coverTemplate);
    LabelTemplate* discs = doc.GetDiscTemplate();
    LabelTemplate* covers = doc.GetCoverTemplate();
    discs->SetLayout(layout);
    const bool twoDiscs = discs->IsTwoDiscLayout();
    ViewObject* disc1 = doc.GetDisc(1);
    ViewObject* disc2 = doc.GetDisc(2);
    ViewObject* front = doc.GetFrontCover();
    ViewObject* back = doc.GetBackCover();
    SetSideColor(disc1, discColor);
    SetSideColor(front, frontColor);
    SetSideColor(back, backColor);
    if (ViewObject* inside = doc.GetFrontCoverInside()) SetSideColor(inside, RGB(230, 230, 200));
    if (ViewObject* tab = doc.GetLeftTab()) SetSideColor(tab, RGB(200, 215, 235));
    if (ViewObject* tab = doc.GetRightTab()) SetSideColor(tab, RGB(200, 215, 235));
    DecorateDisc(discs, disc1, twoDiscs ? " - Disc 1" : "", discTrackLayout, "Word-Wrap", 1);
    if (twoDiscs && disc2) {
        SetSideColor(disc2, RGB(90, 20, 60));
        DecorateDisc(discs, disc2, " - Disc 2", "1 Column", "Track-Wrap", 2);
    }
    DecorateCover(covers, front, "", frontTrackLayout, "", 3);
    DecorateCover(covers, back, "", backTrackLayout, backWrap, 4);
    doc.SetSampleAlbumData(false);
    doc.RefreshLinkedText();

    std::string base = name;
    d->sides.push_back({base + "-disc1.png", disc1});
    if (twoDiscs && disc2) d->sides.push_back({base + "-disc2.png", disc2});
    d->sides.push_back({base + "-front.png", front});
    d->sides.push_back({base + "-back.png", back});
    return d;
}

}  // namespace

std::vector<GoldenDesign*> MakeGoldenDesigns() {
    InitPaperTable();
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    LabelTemplate* disc = library.FindTemplate("(CD/DVD Disc Label - Generic)");
    LabelTemplate* jewel = library.FindTemplate("(CD Jewel Case - Plain Paper)");
    LabelTemplate* dvd = library.FindTemplate("(DVD Case - Plain Paper)");
    LabelTemplate* bluray = library.FindTemplate("(Blu-ray Case - Plain Paper)");
    LabelTemplate* lightScribe = library.FindTemplate("LightScribe");
    std::vector<GoldenDesign*> designs;
    if (disc && jewel)
        designs.push_back(Build(disc, jewel, "jewel", kLayout1DiscTop, "Top && Bottom", "2 Columns",
                                "Table Format", "", RGB(30, 60, 120), RGB(250, 240, 220),
                                RGB(220, 235, 250)));
    if (disc && dvd)
        designs.push_back(Build(disc, dvd, "dvd", kLayout2DiscTop, "1 Column", "1 Column", "Table Format",
                                "Word-Wrap", RGB(20, 90, 70), RGB(255, 250, 235), RGB(235, 245, 225)));
    if (lightScribe && bluray)
        designs.push_back(Build(lightScribe, bluray, "bluray", kLayout1DiscTop, "2 Columns", "1 Column",
                                "Top && Bottom", "Word-Wrap", RGB(70, 30, 110), RGB(230, 240, 255),
                                RGB(250, 230, 240)));
    library.DeleteContents(true);
    return designs;
}

}  // namespace rt
