// The outline stroke of the canvas bodies drawn as a filled band: the two mitred
// offset contours of every closed sub-path of the current path, filled with the
// winding rule. Not for open paths, dashes or curves (those keep cairo_stroke).
#pragma once

typedef struct _cairo cairo_t;

namespace kovrex {

// Replaces the current path (closed polygons only, as the clippers build them) by
// the band of the given width centred on it and fills that in the current source.
// Returns false, leaving the path untouched, when the path has an open or curved
// sub-path; the caller strokes it then.
bool FillOutlineBand(cairo_t* cr, double width);

}  // namespace kovrex
