// The canvas of the main window (control 102): what is drawn, and the view fit.
#pragma once

typedef struct _cairo cairo_t;

namespace kovrex {

// Asks the front end to repaint the canvas (it then calls PaintCanvas).
void RedrawCanvas();
// Fits zoom and pan to the bodies of the current DisplayMode.
void ZoomToFit();
// Paints the whole canvas of width x height canvas pixels into cr.
void PaintCanvas(cairo_t* cr, int width, int height);

}  // namespace kovrex
