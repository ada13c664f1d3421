// Line helpers for tests of the text reports: split a report into lines, find a
// run of whole lines, and find a line with "nan", "inf" or a negative zero.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace kovrex::test {

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// True when `lines` (one or more lines, without the last line feed) stand in the
// text as whole lines, one after the other.
inline bool ContainsLines(const std::string& text, const std::string& lines) {
  return ("\n" + text).find("\n" + lines + "\n") != std::string::npos;
}

// The first line that holds "nan", "inf" (any case) or a negative zero such as
// "-0" or "-0.000"; "" when there is none. "-0.5" is a number, not a zero.
inline std::string FirstBadLine(const std::string& text) {
  static const std::regex negativeZero(R"(-0(\.0+)?([^0-9.]|$))");
  for (const std::string& line : SplitLines(text)) {
    std::string lower = line;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos ||
        std::regex_search(line, negativeZero))
      return line;
  }
  return "";
}

}  // namespace kovrex::test
