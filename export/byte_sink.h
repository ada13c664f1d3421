// Where the CAD writers put their bytes. A writer only emits; whoever made the sink
// decides whether the bytes end in a file (the export command's safe file) or in
// memory (tests, size estimates). Not for: opening files or showing messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kovrex {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be taken (a full disk, an I/O error); a writer
  // that sees false stops and reports failure.
  virtual bool Write(const void* data, size_t size) = 0;
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
};

// Collects everything in memory.
class StringSink : public ByteSink {
 public:
  using ByteSink::Write;
  bool Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return true;
  }
  std::string bytes;
};

}  // namespace kovrex
