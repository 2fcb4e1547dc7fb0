#include "worksheet_file/output_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "sheet/checked_alloc.h"

namespace vodbc {
namespace {

// Large enough that a whole worksheet goes out in a few dozen system calls.
constexpr std::size_t kBufferSize = 1 << 20;
// Writes at least this large skip the buffer: copying them buys nothing.
constexpr std::size_t kDirectWrite = 1 << 16;
// Every so many bytes the disk is asked to start writing what it has, so the
// final fsync finds most of the file already on its way.
constexpr std::size_t kWritebackStep = 8 << 20;
// Leaves room for the prefix and suffix within the file system's name limit.
constexpr std::size_t kLongestNameStem = 200;

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An unused name for a hidden file in `folder` that names its target, so a
// stray one would explain itself.
std::string temporaryName(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  const unsigned long tag = (static_cast<unsigned long>(::getpid()) << 20) ^
                            (static_cast<unsigned long>(std::time(nullptr)) << 8) ^ ++counter;
  // Appended piece by piece: GCC 12 at -O3 misreads the inlined
  // `"/." + std::string&&` (an insert at position 0) as an overlapping copy.
  std::string candidate = folder;
  candidate.append("/.").append(name, 0, kLongestNameStem).append(".tmp-");
  return candidate.append(std::to_string(tag % 1000000007ul));
}

// Creates a new, empty named file in `folder` (file systems without
// unnamed files).
int createNamedTemporary(const std::string& folder, const std::string& name, mode_t mode,
                         std::string* created) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = temporaryName(folder, name);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) {
      *created = std::move(candidate);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Gives the unnamed file `fd` the name `path`; fails with EEXIST when the
// name is taken.
bool linkUnnamed(int fd, const std::string& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// Renames `from` to `to` unless `to` exists, in one step.
bool renameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // No such rename here: a hard link is just as exclusive.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace

AtomicOutputFile::AtomicOutputFile(mode_t newFileMode)
    : buffer_(static_cast<unsigned char*>(checkedAlloc(kBufferSize))), newFileMode_(newFileMode) {}

void AtomicOutputFile::Free::operator()(unsigned char* p) const { std::free(p); }

AtomicOutputFile::~AtomicOutputFile() { discard(); }

void AtomicOutputFile::fail(int error) {
  if (!failed_) failureError_ = error;
  failed_ = true;
}

bool AtomicOutputFile::open(const std::string& path) {
  discard();
  failed_ = false;
  failureError_ = 0;
  buffered_ = 0;
  written_ = 0;
  writebackStart_ = 0;
  if (path.empty()) return false;

  target_ = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    target_ = resolved;
    std::free(resolved);
  }

  mode_t mode = newFileMode_;
  struct stat existing {};
  replaceExisting_ = ::stat(target_.c_str(), &existing) == 0;
  if (replaceExisting_) {
    if (!S_ISREG(existing.st_mode)) return false;
    if (::access(target_.c_str(), W_OK) != 0) return false;
    mode = existing.st_mode & 07777;
  }

  // A new file is created with its mode less the umask, as any file would
  // be; a replacement starts private and takes the old file's bits.
  const mode_t createMode = replaceExisting_ ? 0600 : mode;
  const std::string folder = folderOf(target_);
  fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode);
  if (fd_ < 0) fd_ = createNamedTemporary(folder, nameOf(target_), createMode, &temporary_);
  if (fd_ < 0) return false;
  if (replaceExisting_) {
    // The replacement belongs to whoever owned the old file, as far as
    // this process may say so (root may; others keep at least the group
    // when they belong to it).
    if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
      [[maybe_unused]] int ignored = ::fchown(fd_, static_cast<uid_t>(-1), existing.st_gid);
    }
    if (::fchmod(fd_, mode) != 0) {
      discard();
      return false;
    }
  }
  return true;
}

bool AtomicOutputFile::flush() {
  if (buffered_ == 0) return true;
  const bool ok = writeAll(fd_, buffer_.get(), buffered_);
  if (!ok) fail(errno);
  written_ += buffered_;
  buffered_ = 0;
  startWriteback();
  return ok;
}

void AtomicOutputFile::startWriteback() {
  if (written_ - writebackStart_ < kWritebackStep) return;
  // Only a hint: a failure here shows up again, and counts, at fsync.
  ::sync_file_range(fd_, static_cast<off_t>(writebackStart_),
                    static_cast<off_t>(written_ - writebackStart_), SYNC_FILE_RANGE_WRITE);
  writebackStart_ = written_;
}

bool AtomicOutputFile::write(const void* data, std::size_t size) {
  if (fd_ < 0 || failed_) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (size >= kDirectWrite || buffered_ + size > kBufferSize) {
    if (!flush()) return false;
    if (size >= kDirectWrite) {
      if (!writeAll(fd_, bytes, size)) fail(errno);
      written_ += size;
      startWriteback();
      return !failed_;
    }
  }
  std::memcpy(buffer_.get() + buffered_, bytes, size);
  buffered_ += size;
  return true;
}

// Gives the complete file its place at target_.
bool AtomicOutputFile::putInPlace() {
  if (!temporary_.empty()) {
    return replaceExisting_ ? ::rename(temporary_.c_str(), target_.c_str()) == 0
                            : renameNoReplace(temporary_, target_);
  }
  if (!replaceExisting_) return linkUnnamed(fd_, target_);
  // A name of its own first, then the rename that replaces the old file
  // in one step.
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = temporaryName(folderOf(target_), nameOf(target_));
    if (linkUnnamed(fd_, temporary_)) return ::rename(temporary_.c_str(), target_.c_str()) == 0;
    if (errno != EEXIST) break;
  }
  temporary_.clear();
  return false;
}

bool AtomicOutputFile::close() {
  if (fd_ < 0) return false;
  bool ok = !failed_ && flush();
  if (ok && ::fsync(fd_) != 0) {
    fail(errno);
    ok = false;
  }
  if (ok && !putInPlace()) {
    fail(errno);
    ok = false;
  }
  if (::close(fd_) != 0 && ok) {
    fail(errno);
    ok = false;
  }
  fd_ = -1;
  if (!ok && !temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  return ok;
}

void AtomicOutputFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool MemoryOutputFile::open(const std::string& path) {
  path_ = path;
  if (failOpen_) return false;
  opened_ = true;
  return true;
}

bool MemoryOutputFile::write(const void* data, std::size_t size) {
  if (failed_) {
    ++writesAfterFailure_;
    return false;
  }
  ++writeCount_;
  if (writeCount_ == failWrite_) {
    failed_ = true;
    return false;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  bytes_.insert(bytes_.end(), bytes, bytes + size);
  return true;
}

bool MemoryOutputFile::close() {
  closed_ = true;
  return opened_ && !failed_ && !failClose_;
}

}  // namespace vodbc
