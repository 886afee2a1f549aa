// CreateDibSectionBitmap: a top-down DIB section handed over to a framework bitmap object.
#include "framework/graphics/DibSectionBitmap.h"

#include <memory>

#include "framework/Core.h"
#include "framework/Win.h"
#include "framework/graphics/DibHelpers.h"

CBitmap* CreateDibSectionBitmap(int width, int height, WORD bitCount) {
    CBitmap* result = nullptr;
    GuardOperation(2203, [&] {
        ScopedBitmap section = CreateTopDownDibSection(nullptr, width, height, bitCount);
        if (!section) return;
        std::unique_ptr<CBitmap> bitmap(new CBitmap);
        bitmap->Attach(section.Release());  // takes any handle but a null one
        result = bitmap.release();
    });
    return result;
}
