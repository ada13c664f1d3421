// Both text sets in one binary, for tests that check the wording of each build.
// English is the default, as in most tests.
#include "text/texts.h"
#include "text/text_table.inc"

namespace kovrex {
namespace {
const char* const kDutch[] = {
#define KOVREX_TEXT(id, nl, en) nl,
#include "all_texts.inc"
#undef KOVREX_TEXT
};
const char* const kEnglish[] = {
#define KOVREX_TEXT(id, nl, en) en,
#include "all_texts.inc"
#undef KOVREX_TEXT
};
bool g_dutch = false;
}  // namespace
const char* Tx(TextId id) {
  int i = static_cast<int>(id);
  if (i < 0 || i >= static_cast<int>(TextId::Count)) return "";
  return g_dutch ? kDutch[i] : kEnglish[i];
}
bool TextSetIsDutch() { return g_dutch; }
void SetTextLanguageForTest(bool dutch) { g_dutch = dutch; }
}  // namespace kovrex
