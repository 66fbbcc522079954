// Billboards: camera-facing textured quads in the current 3D space (not
// screen space), one at a time or thousands in one batch.
#pragma once

#include "geometry/VectorTypes.h"

// The camera's up and right directions in the current object space, read
// from the modelview matrix.
void GetBillboardAxes(TVertex& up, TVertex& right);
// One camera-facing textured quad around `centre`, reaching `size` along each
// axis. Sets no state: texture, colour and blending are the caller's.
void DrawBillboard(const TVertex& centre, float size);
// DrawBillboard around every centre in order, the same quads and pixels, in
// one batch: the show's glow fields hold thousands of them.
void DrawBillboards(const TVertexArray& centres, float size);
