#include "common/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>

#include "common/error.h"

namespace zor {
namespace {

#ifdef _WIN32
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
#else
// Non-blocking only for the opening: a FIFO opens at once instead of waiting for a writer,
// and is refused right after. A terminal must not become the controlling one.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
#endif
constexpr size_t kStreamBuffer = 1 << 16;

// The run-time library's texts for the input/output errors an operator may meet.
std::string io_message(int err) {
  switch (err) {
    case ENOENT:
      return "File not found";
    case EACCES:
    case EPERM:
    case EISDIR:
      return "File access denied";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    default:
      return "I/O error " + std::to_string(err != 0 ? err : EIO);
  }
}

bool regular(const struct stat& st) {
  return (st.st_mode & S_IFMT) == S_IFREG;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
  errno = 0;
  fd_ = ::open(path.c_str(), kOpenFlags);
  if (fd_ < 0) {
    const int err = errno;
    // Only the wording: a device the user may not open is still no file to read.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !regular(st))
      throw IoError(std::string(kNotAFile) + path);
    throw IoError(io_message(err));
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !regular(st)) {
    ::close(fd_);
    throw IoError(std::string(kNotAFile) + path);
  }
  size_ = static_cast<uint64_t>(st.st_size);
#ifndef _WIN32
  // A regular file never blocks; reads are made as for any file from here on.
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
#endif
}

InputFile::~InputFile() {
  ::close(fd_);
}

size_t InputFile::read(char* out, size_t size) {
  // Whatever one call may carry: the rest comes with the next.
  constexpr size_t kLargestRead = size_t{1} << 30;
  for (;;) {
    errno = 0;
    const auto n = ::read(fd_, out, static_cast<unsigned>(std::min(size, kLargestRead)));
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) throw IoError(io_message(errno));
  }
}

std::string read_whole_file(const std::string& path, size_t most) {
  InputFile file(path);
  if (file.size() > most) throw IoError(std::string(kFileTooLarge) + path);
  std::string bytes(static_cast<size_t>(file.size()), '\0');
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      // Grown since it was opened: read on, within the cap.
      if (bytes.size() >= most + 1) throw IoError(std::string(kFileTooLarge) + path);
      bytes.resize(std::min(most + 1, std::max(bytes.size() * 2, kStreamBuffer)));
    }
    const size_t n = file.read(bytes.data() + got, bytes.size() - got);
    if (n == 0) break;
    got += n;
  }
  bytes.resize(got);
  if (got > most) throw IoError(std::string(kFileTooLarge) + path);
  return bytes;
}

InputFileStream::Buffer::Buffer(const std::string& path) : file_(path), bytes_(kStreamBuffer) {}

InputFileStream::Buffer::int_type InputFileStream::Buffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const size_t n = file_.read(bytes_.data(), bytes_.size());
  if (n == 0) return traits_type::eof();
  setg(bytes_.data(), bytes_.data(), bytes_.data() + n);
  return traits_type::to_int_type(*gptr());
}

InputFileStream::InputFileStream(const std::string& path) : std::istream(nullptr), buffer_(path) {
  rdbuf(&buffer_);
  // The stream's functions keep a failed read's IoError instead of turning it into a flag.
  exceptions(std::ios::badbit);
}

}  // namespace zor
