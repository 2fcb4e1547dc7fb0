// Where a worksheet file's bytes go. The writer only sees this interface, so
// tests can collect the bytes in memory and make any single step fail.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vodbc {

class OutputFile {
 public:
  virtual ~OutputFile() = default;

  // Prepares a new file for `path`; false when it cannot be made. Nothing
  // visible at `path` changes before a successful close().
  virtual bool open(const std::string& path) = 0;

  // Appends `size` bytes; false on failure. After a failure the file is
  // spoilt: close() discards it.
  virtual bool write(const void* data, std::size_t size) = 0;

  // Finishes the file. True only when every write succeeded and the file
  // took its place at `path`; otherwise whatever was written is discarded
  // and an existing file at `path` is left as it was.
  virtual bool close() = 0;
};

// Writes a file beside the target and puts it in place only once it is
// complete, so a failure at any point never leaves a half-written worksheet
// and never harms an existing one.
//   - The file is written unnamed (O_TMPFILE in the target's folder) and
//     gets a name only when complete: no death of the process, kill -9
//     included, leaves a stray file behind. Where the file system cannot
//     make unnamed files, a hidden named one is used and removed on failure.
//   - A target that did not exist when open() was called is created in one
//     atomic step that fails when another program created it meanwhile
//     (two runs never replace each other's new file); an existing one is
//     replaced by rename.
//   - A symbolic link is followed: the file it names is replaced, in that
//     file's folder, and the link stays.
//   - An existing file's permission bits are kept, and its owner and group
//     where the process may set them; a new file gets `newFileMode` (0666
//     unless the file is private) less the umask.
//   - open() fails when the target exists but is not a regular file or not
//     writable, or when no file can be created in the target's folder.
// The output buffer is allocated by the constructor, before any file is
// created, so running out of memory (which ends the process, like every
// allocation failure in the program) cannot strand a temporary file.
class AtomicOutputFile final : public OutputFile {
 public:
  explicit AtomicOutputFile(mode_t newFileMode = 0666);
  ~AtomicOutputFile() override;  // discards an unfinished file
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  bool open(const std::string& path) override;
  bool write(const void* data, std::size_t size) override;
  bool close() override;

  // The errno of the first write or close step that failed (0 when none
  // did), so a caller can say why a file was not written.
  int failureError() const { return failureError_; }

 private:
  bool flush();
  void startWriteback();
  void discard();
  bool putInPlace();
  void fail(int error);

  struct Free {
    void operator()(unsigned char* p) const;
  };
  std::unique_ptr<unsigned char, Free> buffer_;
  std::size_t buffered_ = 0;
  std::size_t written_ = 0;         // bytes handed to the file so far
  std::size_t writebackStart_ = 0;  // first byte not yet sent to the disk
  mode_t newFileMode_;
  int fd_ = -1;
  bool failed_ = false;
  int failureError_ = 0;
  bool replaceExisting_ = false;  // the target existed at open()
  std::string target_;            // the file to replace (links resolved)
  std::string temporary_;         // the named file being written, if any
};

// Collects the bytes in memory; can be told to fail the open, the Nth write
// (counting from 1) or the close. A failed write stores nothing.
class MemoryOutputFile final : public OutputFile {
 public:
  bool open(const std::string& path) override;
  bool write(const void* data, std::size_t size) override;
  bool close() override;

  void failOpen() { failOpen_ = true; }
  void failWrite(std::size_t n) { failWrite_ = n; }
  void failClose() { failClose_ = true; }

  const std::vector<unsigned char>& bytes() const { return bytes_; }
  const std::string& path() const { return path_; }
  std::size_t writeCount() const { return writeCount_; }
  // Writes attempted after one had already failed.
  std::size_t writesAfterFailure() const { return writesAfterFailure_; }
  bool opened() const { return opened_; }
  bool closed() const { return closed_; }

 private:
  std::vector<unsigned char> bytes_;
  std::string path_;
  std::size_t writeCount_ = 0;
  std::size_t writesAfterFailure_ = 0;
  std::size_t failWrite_ = 0;
  bool failOpen_ = false;
  bool failClose_ = false;
  bool failed_ = false;
  bool opened_ = false;
  bool closed_ = false;
};

}  // namespace vodbc
