// Writing a whole file so that a failure never costs the old one: the bytes go to
// a temporary file in the same folder, which is flushed, closed and renamed over the
// target only when every step succeeded.
#pragma once

#include <string>

#include "export/byte_sink.h"

namespace kovrex {

// A file written piece by piece. Open creates the temporary file at once (an STL
// export opens it before meshing, so a folder it cannot write is known before the
// work); Commit flushes, closes and renames it over the target. A writer that is
// destroyed, or abandoned, without a successful Commit removes its temporary file
// and leaves the target as it was.
class AtomicFileWriter : public ByteSink {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter() override;

  bool Open(const std::string& path);
  using ByteSink::Write;
  // False once any write failed; later writes are refused too.
  bool Write(const void* data, size_t size) override;
  bool Commit();
  void Abandon();

  // Why the last step failed ("write: No space left on device").
  const std::string& ErrorText() const { return error_; }

 private:
  bool Fail(const char* what, int err);

  int fd_ = -1;
  bool failed_ = false;
  std::string target_;
  std::string temp_;
  std::string error_;
};

// False when any step failed; the target is then as it was and errorText says why.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* errorText = nullptr);

}  // namespace kovrex
