// The user-interface texts of Kovrex. Each text has one identifier; the Dutch and
// the English wording stand side by side in the text/*.def tables. A program links
// exactly one language (kovrex_text_nl or kovrex_text_en); tests link the
// switchable set. Not for: file contents (project keys, STEP/DXF keywords), which
// are the same in both builds.
#pragma once

namespace kovrex {

enum class TextId : int {
#define KOVREX_TEXT(id, nl, en) id,
#include "all_texts.inc"
#undef KOVREX_TEXT
  Count
};

// The text of the linked language.
const char* Tx(TextId id);

// True in the Dutch build (the About window and the help file name depend on it).
bool TextSetIsDutch();

// Name of an identifier, for tests and diagnostics.
const char* TextIdName(TextId id);

// Only in the switchable test set: choose the language at run time.
void SetTextLanguageForTest(bool dutch);

}  // namespace kovrex
