// Safe whole-file writes (temporary file, flush, close, rename).
#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kovrex {

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* errorText) {
  auto fail = [&](const char* what, int err) {
    if (errorText) *errorText = std::string(what) + ": " + std::strerror(err);
    return false;
  };
  if (path.empty()) return fail("empty path", ENOENT);
  struct stat st;
  const bool existed = stat(path.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) return fail("target is a folder", EISDIR);

  std::string templ = path + ".XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return fail("create", errno);
  // Keep the permissions an existing target had (mkstemp makes 0600).
  fchmod(fd, existed ? (st.st_mode & 07777) : 0644);

  auto abandon = [&](const char* what, int err, bool closeFirst) {
    if (closeFirst) close(fd);
    unlink(name.data());
    return fail(what, err);
  };
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return abandon("write", n < 0 ? errno : EIO, true);
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) return abandon("flush", errno, true);
  if (close(fd) != 0) return abandon("close", errno, false);
  if (rename(name.data(), path.c_str()) != 0) return abandon("rename", errno, false);
  return true;
}

}  // namespace kovrex
