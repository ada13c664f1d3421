// The ".tdw" project format: building the file text from the controls and the
// selected search rows, and a tolerant reader of INI-style text. Not for: dialogs,
// the disk, or restoring the arrangements (project_file does those).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kovrex {

// The whole file: byte-order mark line, comment, [Tandwiel], the 93 bindings by
// group, then [Keuze] / [KeuzeBinnen] for selected rows; LF line ends.
std::string BuildProjectFileText();

struct ProjectDocument {
  struct Group {
    std::string name;  // as written
    std::vector<std::pair<std::string, std::string>> keys;
  };
  std::vector<Group> groups;
};

// Accepts LF, CR or CRLF line ends, an optional byte-order mark, blanks or tabs at the
// start of lines, ';' comments; group and key names are matched without regard to
// letter case, a key only inside its own group.
ProjectDocument ParseProjectText(std::string_view text);

// The trimmed text of group/key, or nullptr when the group or the key is missing.
const std::string* FindProjectValue(const ProjectDocument& doc, std::string_view group, std::string_view key);
std::string ReadProjectText(const ProjectDocument& doc, std::string_view group, std::string_view key,
                            const std::string& fallback);
// A decimal 64-bit integer; the fallback when missing or not a number.
int64_t ReadProjectInteger(const ProjectDocument& doc, std::string_view group, std::string_view key, int64_t fallback);

// Invalid UTF-8 sequences replaced by U+FFFD, so that nothing read from a file can
// upset the toolkit.
std::string SanitizeUtf8(std::string_view text);

}  // namespace kovrex
