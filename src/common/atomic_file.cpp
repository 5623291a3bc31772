#include "common/atomic_file.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "common/error.h"
#include "common/output_file.h"

namespace zor {
namespace {

// Written is not yet kept: the data must be on the disk before the name moves to it.
void flush_to_disk(const std::string& path) {
#ifndef _WIN32
  errno = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw IoError(write_error(path, errno));
  errno = 0;
  const bool synced = ::fsync(fd) == 0;
  const int err = errno;
  ::close(fd);
  if (!synced) throw IoError(write_error(path, err));
#else
  (void)path;
#endif
}

}  // namespace

std::string temporary_path(const std::string& path) {
  return path + ".tmp";
}

void replace_file(const std::string& path, const std::string& text) {
  const std::string temp = temporary_path(path);
  try {
    write_whole_file(temp, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    flush_to_disk(temp);
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) throw IoError(path + ": " + error.message());
  } catch (const IoError&) {
    std::error_code ignored;
    // A folder in the temporary file's place is not ours to remove.
    if (!std::filesystem::is_directory(temp, ignored)) std::filesystem::remove(temp, ignored);
    throw;
  }
}

}  // namespace zor
