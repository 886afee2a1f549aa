// The design of the export and print benchmarks.
#pragma once

#include <vector>

#include "model/KorvanelleDocument.h"

namespace rt {

// Fills `library` with the built-in templates and makes `design` a generic disc with a plain
// jewel case whose front cover holds a full-side photo and 20 texts (returned in `texts`); the
// front cover becomes the current side. Returns the front cover, null on failure.
ViewObject* MakeBenchmarkCover(KorvanelleDocument& library, KorvanelleDocument& design,
                               std::vector<ViewObject*>& texts);

}  // namespace rt
