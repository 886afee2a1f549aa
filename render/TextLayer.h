// The layer of a side drawing that paints its texts and track lists.
#pragma once

class RenderContext;

// Lays out every text and track list among the record's children whose layout is due and draws
// them; called once per side object, after the images and before the grid dots.
void DrawTextLayer(RenderContext& rc);
