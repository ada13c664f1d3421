// Writer and reader of the project file text.
#include "app/project_format.h"

#include <charconv>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/project_bindings.h"
#include "geometry/arrangement_state.h"
#include "numbers/number_text.h"

namespace kovrex {
namespace {

// Entries are single-line: a pasted line break would otherwise end the key's line
// and turn the rest of the value into a line of its own.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

template <typename Row>
void AppendSelection(std::string& out, const char* group, const Row& row, int x1Control) {
  out += "[";
  out += group;
  out += "]\n";
  out += "modul = " + FormatFixed(6, row.module) + "\n";
  out += "z1 = " + std::to_string(row.teeth1) + "\n";
  out += "z2 = " + std::to_string(row.teeth2) + "\n";
  out += "beta = " + FormatFixed(6, row.helixAngleDeg) + "\n";
  out += "x1 = " + OneLine(Controls().GetText(x1Control)) + "\n";
}

}  // namespace

std::string BuildProjectFileText() {
  std::string out = "\xEF\xBB\xBF\n";
  out += ";  Kovrex-project\n";
  out += "[Tandwiel]\n";
  out += "versie = 1\n";
  out += "tabblad = " + std::to_string(Controls().GetState(GadgetTabPanel)) + "\n";
  const std::string* group = nullptr;
  for (const ProjectBinding& b : ProjectBindingList) {
    if (group == nullptr || *group != b.group) {
      out += "[" + b.group + "]\n";
      group = &b.group;
    }
    out += b.key + " = ";
    out += b.useState ? std::to_string(Controls().GetState(b.control)) : OneLine(Controls().GetText(b.control));
    out += "\n";
  }
  if (PairSelectedRow >= 0 && PairSelectedRow < static_cast<int64_t>(PairResultList.size()))
    AppendSelection(out, "Keuze", PairResultList[static_cast<size_t>(PairSelectedRow)], GadgetPairX1);
  if (InternalSelectedRow >= 0 && InternalSelectedRow < static_cast<int64_t>(InternalResultList.size()))
    AppendSelection(out, "KeuzeBinnen", InternalResultList[static_cast<size_t>(InternalSelectedRow)],
                    GadgetInternalX1);
  return out;
}

ProjectDocument ParseProjectText(std::string_view text) {
  ProjectDocument doc;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    line.remove_prefix(start);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      doc.groups.push_back({std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)), {}});
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || doc.groups.empty()) continue;
    std::string_view key = TrimBlanks(line.substr(0, eq));
    std::string_view value = TrimBlanks(line.substr(eq + 1));
    doc.groups.back().keys.emplace_back(std::string(key), std::string(value));
  }
  return doc;
}

const std::string* FindProjectValue(const ProjectDocument& doc, std::string_view group, std::string_view key) {
  for (const auto& g : doc.groups) {
    if (!EqualsNoCase(g.name, group)) continue;
    for (const auto& [k, v] : g.keys)
      if (EqualsNoCase(k, key)) return &v;
    return nullptr;  // the first group of that name is the one that counts
  }
  return nullptr;
}

std::string ReadProjectText(const ProjectDocument& doc, std::string_view group, std::string_view key,
                            const std::string& fallback) {
  const std::string* v = FindProjectValue(doc, group, key);
  return v ? SanitizeUtf8(*v) : fallback;
}

int64_t ReadProjectInteger(const ProjectDocument& doc, std::string_view group, std::string_view key, int64_t fallback) {
  const std::string* v = FindProjectValue(doc, group, key);
  if (v == nullptr) return fallback;
  const char* b = v->data();
  const char* e = b + v->size();
  if (b < e && *b == '+') ++b;
  int64_t value = 0;
  auto r = std::from_chars(b, e, value);
  if (r.ec != std::errc() || r.ptr == b) return fallback;
  return value;
}

std::string SanitizeUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const char* kReplacement = "\xEF\xBF\xBD";
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    }
    bool ok = len > 0 && i + len <= s.size();
    for (size_t k = 1; ok && k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are invalid too.
    if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
               (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
      ok = false;
    if (ok) {
      out.append(s.substr(i, len));
      i += len;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

}  // namespace kovrex
