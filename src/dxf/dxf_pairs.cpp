#include "dxf/dxf_pairs.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/error.h"
#include "common/input_file.h"

namespace zor {
namespace {

constexpr size_t kInitialBuffer = 1 << 16;
constexpr char kCtrlZ = 0x1A;

std::string_view trim(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool parse_code(std::string_view text, int& code) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [ptr, ec] = std::from_chars(first, last, code);
  return ec == std::errc() && ptr == last;
}

class FileSource : public DxfByteSource {
 public:
  explicit FileSource(const std::string& path) : file_(path) {}
  size_t read(char* out, size_t size) override { return file_.read(out, size); }

 private:
  InputFile file_;
};

class StreamSource : public DxfByteSource {
 public:
  explicit StreamSource(std::istream& in) : in_(in) {}
  size_t read(char* out, size_t size) override {
    in_.read(out, static_cast<std::streamsize>(size));
    const auto n = in_.gcount();
    if (n == 0 && in_.bad()) throw IoError("I/O error " + std::to_string(EIO));
    return static_cast<size_t>(n);
  }

 private:
  std::istream& in_;
};

}  // namespace

std::unique_ptr<DxfByteSource> open_dxf_file(const std::string& path) {
  return std::make_unique<FileSource>(path);
}

std::unique_ptr<DxfByteSource> dxf_stream_source(std::istream& in) {
  return std::make_unique<StreamSource>(in);
}

DxfPairs::DxfPairs(DxfByteSource& source) : source_(source), buffer_(kInitialBuffer) {}

bool DxfPairs::refill() {
  if (at_end_) return false;
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  // A line longer than the buffer: the buffer grows to hold it whole, up to the longest line
  // any reading takes.
  if (end_ == buffer_.size()) {
    if (buffer_.size() >= kMaxLineLength) throw IoError(kLineTooLong);
    buffer_.resize(std::min(buffer_.size() * 2, kMaxLineLength));
  }
  const size_t n = source_.read(buffer_.data() + end_, buffer_.size() - end_);
  if (n == 0) {
    at_end_ = true;
    return false;
  }
  end_ += n;
  return true;
}

bool DxfPairs::read_line(std::string_view& line) {
  size_t scanned = 0;  // bytes of the line known to hold no line end
  for (;;) {
    const char* data = buffer_.data() + pos_;
    const size_t avail = end_ - pos_;
    size_t i = scanned;
    while (i < avail && data[i] != '\n' && data[i] != '\r' && data[i] != kCtrlZ) ++i;
    // A CR as the last byte seen may be the first half of a CR LF: look further first.
    if (i == avail || (data[i] == '\r' && i + 1 == avail && !at_end_)) {
      if (refill()) {
        scanned = i;
        continue;
      }
      if (i == avail) {
        if (avail == 0) return false;
        line = std::string_view(buffer_.data() + pos_, avail);
        pos_ = end_;
        ++lines_;
        return true;
      }
      // The CR was the last byte of the file; fall through with the buffer as it is.
      data = buffer_.data() + pos_;
    }
    line = std::string_view(data, i);
    ++lines_;
    const char c = data[i];
    if (c == kCtrlZ) {
      // Nothing after Ctrl-Z belongs to the file.
      at_end_ = true;
      end_ = pos_ + i;
      pos_ = end_;
      return true;
    }
    pos_ += i + 1;
    if (c == '\r' && pos_ < end_ && buffer_[pos_] == '\n') ++pos_;
    return true;
  }
}

bool DxfPairs::next() {
  if (bad_code_) return false;
  std::string_view line;
  if (!read_line(line)) return false;
  const size_t code_line = lines_;
  const std::string_view code_text = trim(line);
  int code = 0;
  if (!parse_code(code_text, code)) {
    // Blank lines at the very end are no broken pair.
    if (code_text.empty()) {
      std::string_view rest;
      bool only_blank = true;
      while (only_blank && read_line(rest)) only_blank = trim(rest).empty();
      if (only_blank) return false;
    }
    bad_code_ = true;
    bad_text_ = std::string(code_text.substr(0, 40));
    code_line_ = code_line;
    return false;
  }
  if (!read_line(line)) return false;
  code_ = code;
  code_line_ = code_line;
  value_ = trim(line);
  return true;
}

int dxf_int(double v) {
  if (!(v > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(v < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

bool dxf_number(std::string_view text, double& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return false;
  char copy[64];
  if (text.find(',') != std::string_view::npos) {
    if (text.size() >= sizeof copy) return false;
    for (size_t i = 0; i < text.size(); ++i) copy[i] = text[i] == ',' ? '.' : text[i];
    text = std::string_view(copy, text.size());
  }
  const char* first = text.data();
  const char* last = first + text.size();
  // from_chars reads "inf" and "nan" too; a drawing's numbers are finite.
  const auto [ptr, ec] = std::from_chars(first, last, out);
  return ec == std::errc() && ptr == last && std::isfinite(out);
}

}  // namespace zor
