// Rows of the input forms shared by the three windows: a label and one or two
// fields, a control spanning the column, a pair of buttons, a note. Each window
// describes its form as a table of rows; PlaceFormRows walks it.
// Not for: the tab panel, the canvas or the report editors.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>

#include "text/texts.h"

namespace kovrex {

enum class RowKind {
  Field,         // form label + one full-width field
  Halves,        // form label + two half-width fields side by side
  HalfAndText,   // form label + half-width field + a text label (x2 = ...)
  LabelControl,  // a numbered text label in the label column + one field (load label 77)
  Wide,          // one control from x = 10 across the column (combo, check box, button, list, heading)
  ButtonPair,    // two buttons splitting the column; first may be -1
  Note,          // a wrapped text label of `lines` text lines, 10 pixels below the row
};

constexpr TextId kNoText = TextId::Count;

struct FormRow {
  RowKind kind;
  TextId text = kNoText;   // form label, or caption of a check box / button / the Note
  int first = -1;
  int second = -1;
  TextId text2 = kNoText;  // caption of the second button of a ButtonPair
  int extraAdvance = 0;    // added to the row's advance
  int lines = 0;           // Note: height in text lines
};

// Creates and places the rows from y; returns the y after the last row.
int PlaceFormRows(GtkWidget* container, const FormRow* rows, size_t count, int y);

template <size_t N>
int PlaceFormRows(GtkWidget* container, const FormRow (&rows)[N], int y) {
  return PlaceFormRows(container, rows, N, y);
}

// Form label created for the row whose first field is `control` (nullptr if none).
GtkWidget* FormLabelOf(int control);
void RememberFormLabel(int control, GtkWidget* label);
void ForgetFormLabels();

// Width of a control spanning the column: from x = 10 to the right edge of the fields.
int WideControlWidth();
int ListViewHeight();

struct ToolTip {
  int control;
  TextId text;
};
void ApplyToolTips(const ToolTip* tips, size_t count);
template <size_t N>
void ApplyToolTips(const ToolTip (&tips)[N]) {
  ApplyToolTips(tips, N);
}

// Headings of the secondary windows are set in bold.
void MakeHeading(GtkWidget* label);

}  // namespace kovrex
