// The label templates built into the program, one row each: the template library adds the rows
// it lacks (KorvanelleDocument::CreateBuiltInTemplates), the settings take their default
// template names from it, and the tests read it.
#pragma once

#include <cstddef>

#include "model/KorvanelleDocument.h"

// Where a built-in template's objects lie.
enum BuiltInPages {
    kBuiltInLabelPage,      // page 1 of the paper, holding the two discs of the rectangles
    kBuiltInDiscPrinter,    // page 1 of the disc printer, two discs centred by its disc geometry
    kBuiltInCaseUpright,    // folded front cover on landscape page 2, back cover on upright page 3
    kBuiltInCaseLandscape,  // the same with page 3 landscape
};

struct BuiltInRect {
    int left, top, width, height;
};

struct BuiltInTemplate {
    const char* name;
    // kCaseDisc for a disc label; a case's back cover is an object of this type.
    int caseKind;
    // The library holds the template when it holds any template of its case kind (a disc, or a
    // back cover of that type), or, for one that shares its kind with an earlier row, a template
    // of its name.
    bool presentByName;
    BuiltInPages pages;
    BuiltInRect first;   // disc 1 (width: outer, height: inner diameter), or the front cover
    BuiltInRect second;  // disc 2, or the back cover
    int spineWidth;      // of the back cover
};

inline constexpr char kLightScribeTemplateName[] = "LightScribe";

// In the order in which a library that lacks them gets them. The first row of a case kind is
// that kind's default template. The disc printer's discs come from its geometry, not from here.
// clang-format off
inline constexpr BuiltInTemplate kBuiltInTemplates[] = {
//   name                             kind         by name  pages                  first                     second                      spine
    {"(CD/DVD Disc Label - Generic)", kCaseDisc,   false,   kBuiltInLabelPage,     {1938,  688, 4625, 1600}, {1938, 5688,  4625, 1600},     0},
    {"(CD Jewel Case - Plain Paper)", kCaseJewel,  false,   kBuiltInCaseUpright,   { 800,  800, 9520, 4760}, {1300,  600,  5910, 4650},   250},
    {"(DVD Case - Plain Paper)",      kCaseDvd,    false,   kBuiltInCaseLandscape, { 775,  746, 9449, 7008}, { 145,  647, 10727, 7191},  5079},
    {kLightScribeTemplateName,        kCaseDisc,   true,    kBuiltInDiscPrinter,   {},                       {},                            0},
    {"(Blu-ray Case - Plain Paper)",  kCaseBluray, false,   kBuiltInCaseLandscape, { 850, 1191, 9292, 5876}, { 217, 1191, 10572, 5876},  5089},
};
// clang-format on
inline constexpr size_t kBuiltInTemplateCount = sizeof(kBuiltInTemplates) / sizeof(kBuiltInTemplates[0]);

// The first row of the case kind; the first row of all for a kind that has none.
const BuiltInTemplate& FirstBuiltInTemplate(int caseKind);
// The row of the name, or null.
const BuiltInTemplate* FindBuiltInTemplate(const char* name);
// True when the library holds the row's template (see BuiltInTemplate::presentByName).
bool HoldsBuiltInTemplate(const CLabelTemplateArray& library, const BuiltInTemplate& row);
