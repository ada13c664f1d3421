// Safe whole-file writes (temporary file, flush, close, rename).
#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kovrex {

namespace {

// A link is saved through, as a plain write would: renaming over the link itself
// would replace it with a file and leave the file it points to unchanged.
std::string ResolveLink(const std::string& path) {
  struct stat lst;
  if (lstat(path.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// The permissions a plain create would give: 0666 less the process's umask.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool WriteFileAtomically(const std::string& requestedPath, const std::string& bytes, std::string* errorText) {
  auto fail = [&](const char* what, int err) {
    if (errorText) *errorText = std::string(what) + ": " + std::strerror(err);
    return false;
  };
  if (requestedPath.empty()) return fail("empty path", ENOENT);
  const std::string path = ResolveLink(requestedPath);
  struct stat st;
  const bool existed = stat(path.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) return fail("target is a folder", EISDIR);

  // Same folder as the target (rename cannot cross file systems), with a short
  // name of its own: the target's name plus a suffix could pass NAME_MAX.
  const size_t slash = path.rfind('/');
  const std::string templ = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".kovrex-XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return fail("create", errno);
  // mkstemp makes 0600: keep the permissions an existing target had, or give a new
  // one those of a plain create.
  fchmod(fd, existed ? (st.st_mode & 07777) : NewFileMode());

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
