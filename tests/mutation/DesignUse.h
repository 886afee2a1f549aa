// What the mutation run does with a settings, label stock or design file that was read: what a
// user does next, through the program's own code - New Project draws its layouts' pictures, a new
// design (or the design read) is shown in the real canvas, zoomed in as far as it goes and out
// again, a text's or side's colour is changed, and one part of it is exported as Save As Image
// does. Each of these is one step of the user's, timed; the caller measures the memory.
#pragma once

#include <string>

class KorvanelleDocument;

namespace mutation {

// The frame with the canvas, made on first use; false when it cannot be made.
bool ReadyView();
// New Project's six pictures, with `library` as the template library and the startup design
// files looked for in `folder`.
void DrawNewProject(KorvanelleDocument& library, const std::string& folder);
// New Project, then a new design of the layout picked by `mutant` from the library, used as below.
void UseLibrary(KorvanelleDocument& library, const std::string& folder, long mutant);
// The design shown in the canvas, zoomed, recoloured and exported (the part picked by `mutant`,
// at the resolution and with the overlaps of the settings) into `folder`.
void UseDesign(KorvanelleDocument& design, const std::string& folder, long mutant);

// The longest step since the last call, in milliseconds; the count starts again.
unsigned long TakeSlowestStep();

}  // namespace mutation
