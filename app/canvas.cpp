// Placeholder canvas until the scene drawing lands: background only.
#include "app/canvas.h"

#include <cairo.h>

#include "app/services.h"

namespace kovrex {

void RedrawCanvas() { Svc().requestCanvasRedraw(); }

void ZoomToFit() {}

void PaintCanvas(cairo_t* cr, int /*width*/, int /*height*/) {
  cairo_set_source_rgba(cr, 250 / 255.0, 250 / 255.0, 252 / 255.0, 1.0);
  cairo_paint(cr);
}

}  // namespace kovrex
