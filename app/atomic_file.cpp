// Safe whole-file writes (temporary file, flush, close, rename).
#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace kovrex {

namespace {

// A link is saved through, as a plain write would: renaming over the link itself
// would replace it with a file and leave the file it points to unchanged. The
// links are followed by hand, because realpath gives up on a dangling link (whose
// target a plain write would create) and hands back the link itself. A relative
// target counts from the link's own folder. The walk ends at the first name that
// is not a link (an existing file, or the missing target that is created; a
// missing folder then fails when the temporary file cannot be made there), or
// fails with ELOOP after as many hops as the kernel allows.
bool ResolveLink(const std::string& path, std::string& resolved, int& err) {
  constexpr int kMaxHops = 40;
  std::string current = path;
  for (int hop = 0;; ++hop) {
    struct stat lst;
    if (lstat(current.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) {
      resolved = current;
      return true;
    }
    if (hop == kMaxHops) {
      err = ELOOP;
      return false;
    }
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t n = readlink(current.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size() || n == 0) {
      err = n < 0 ? errno : (n == 0 ? ENOENT : ENAMETOOLONG);
      return false;
    }
    std::string next(target.data(), static_cast<size_t>(n));
    if (next[0] != '/') {
      const size_t slash = current.rfind('/');
      if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
    }
    current = next;
  }
}

// The permissions a plain create would give: 0666 less the process's umask.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Fail(const char* what, int err) {
  error_ = std::string(what) + ": " + std::strerror(err);
  failed_ = true;
  return false;
}

bool AtomicFileWriter::Open(const std::string& requestedPath) {
  Abandon();
  failed_ = false;
  error_.clear();
  if (requestedPath.empty()) return Fail("empty path", ENOENT);
  int linkError = 0;
  if (!ResolveLink(requestedPath, target_, linkError)) return Fail("follow link", linkError);
  struct stat st;
  const bool existed = stat(target_.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) return Fail("target is a folder", EISDIR);

  // Same folder as the target (rename cannot cross file systems), with a short
  // name of its own: the target's name plus a suffix could pass NAME_MAX.
  const size_t slash = target_.rfind('/');
  const std::string templ =
      (slash == std::string::npos ? std::string() : target_.substr(0, slash + 1)) + ".kovrex-XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  fd_ = mkstemp(name.data());
  if (fd_ < 0) return Fail("create", errno);
  temp_ = name.data();
  // mkstemp makes 0600: keep the permissions an existing target had, or give a new
  // one those of a plain create.
  fchmod(fd_, existed ? (st.st_mode & 07777) : NewFileMode());
  return true;
}

bool AtomicFileWriter::Write(const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail("write", n < 0 ? errno : EIO);
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFileWriter::Commit() {
  if (failed_ || fd_ < 0) {
    Abandon();
    return false;
  }
  const int fd = fd_;
  fd_ = -1;
  if (fsync(fd) != 0) {
    const int err = errno;
    close(fd);
    Fail("flush", err);
    Abandon();
    return false;
  }
  if (close(fd) != 0) {
    Fail("close", errno);
    Abandon();
    return false;
  }
  if (rename(temp_.c_str(), target_.c_str()) != 0) {
    Fail("rename", errno);
    Abandon();
    return false;
  }
  temp_.clear();
  return true;
}

void AtomicFileWriter::Abandon() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* errorText) {
  AtomicFileWriter out;
  const bool ok = out.Open(path) && out.Write(bytes.data(), bytes.size()) && out.Commit();
  if (!ok && errorText) *errorText = out.ErrorText();
  return ok;
}

}  // namespace kovrex
