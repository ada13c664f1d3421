// Dutch text set.
#include "text/texts.h"
#include "text/text_table.inc"

namespace kovrex {
namespace {
const char* const kTexts[] = {
#define KOVREX_TEXT(id, nl, en) nl,
#include "all_texts.inc"
#undef KOVREX_TEXT
};
}  // namespace
const char* Tx(TextId id) {
  int i = static_cast<int>(id);
  return (i >= 0 && i < static_cast<int>(TextId::Count)) ? kTexts[i] : "";
}
bool TextSetIsDutch() { return true; }
void SetTextLanguageForTest(bool) {}
}  // namespace kovrex
