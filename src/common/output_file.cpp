#include "common/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/error.h"

namespace zor {
namespace {

#ifdef _WIN32
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_BINARY;
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
#endif

}  // namespace

std::string write_error(const std::string& path, int err) {
  return path + ": " + (err != 0 ? std::strerror(err) : "write error");
}

void write_whole_file(const std::string& path, const uint8_t* data, size_t size) {
  errno = 0;
  const int fd = ::open(path.c_str(), kCreateFlags, 0666);
  if (fd < 0) throw IoError(write_error(path, errno));
  constexpr size_t kLargestWrite = size_t{1} << 30;
  while (size > 0) {
    errno = 0;
    const auto n = ::write(fd, data, static_cast<unsigned>(std::min(size, kLargestWrite)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : ENOSPC;
      ::close(fd);
      throw IoError(write_error(path, err));
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  // A file system may only find out at the close that the data cannot be kept.
  errno = 0;
  if (::close(fd) != 0) throw IoError(write_error(path, errno));
}

}  // namespace zor
