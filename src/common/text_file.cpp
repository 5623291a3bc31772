#include "common/text_file.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/error.h"

namespace zor {
namespace {

constexpr size_t kBufferSize = 1 << 16;
constexpr char kCtrlZ = 0x1A;

}  // namespace

bool file_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

TextFile::TextFile(const std::string& path) : file_(path), buffer_(kBufferSize) {}

bool TextFile::fill() {
  if (eof_) return false;
  pos_ = 0;
  end_ = file_.read(buffer_.data(), buffer_.size());
  if (end_ == 0) {
    eof_ = true;
    return false;
  }
  return true;
}

bool TextFile::read_line(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ == end_ && !fill()) return any;
    const char* start = buffer_.data() + pos_;
    const size_t avail = end_ - pos_;
    // Find the next byte that needs attention: LF, CR or Ctrl-Z.
    size_t n = 0;
    while (n < avail && start[n] != '\n' && start[n] != '\r' && start[n] != kCtrlZ) ++n;
    // No real file has such a line; an endless one must not take all the memory there is.
    if (line.size() + n > kMaxLineLength) throw IoError(kLineTooLong);
    // Grown by hand so that the longest line allowed never holds twice its length.
    if (line.size() + n > line.capacity()) {
      line.reserve(std::min(std::max(2 * line.capacity(), line.size() + n), kMaxLineLength));
    }
    line.append(start, n);
    pos_ += n;
    any = any || n > 0;
    if (pos_ == end_) continue;
    const char c = buffer_[pos_++];
    if (c == '\n') return true;
    if (c == kCtrlZ) {
      eof_ = true;
      pos_ = end_ = 0;
      return any;
    }
    any = true;
    // A CR: dropped; if an LF follows (possibly in the next buffer) it ends the line.
    if (pos_ == end_ && !fill()) return true;
    if (buffer_[pos_] == '\n') {
      ++pos_;
      return true;
    }
  }
}

}  // namespace zor
