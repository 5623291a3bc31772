// The --trace file: every data-register byte of the job as a decimal number on its own line,
// written as the job goes through a buffer of fixed size, so a job of any length runs in the
// same memory.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace zor::run {

class TraceFile {
 public:
  // Creates or empties the file; when that fails, error() holds the system's reason.
  explicit TraceFile(const std::string& path);
  ~TraceFile();
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  void put(uint8_t value) {
    if (fill_ + kLongestLine > buffer_.size()) flush();
    const Line& line = kLines[value];
    std::memcpy(buffer_.data() + fill_, line.text, kLongestLine);
    fill_ += line.size;
  }
  // Writes out what is buffered and closes the file. False when any write failed.
  bool close();
  // Empty while everything went well: "<path>: <the system's reason>".
  const std::string& error() const { return error_; }

 private:
  static constexpr size_t kLongestLine = 4;  // "255\n"
  struct Line {
    char text[kLongestLine];
    size_t size;
  };
  static const std::array<Line, 256> kLines;

  void flush();
  void fail(int error_number);

  std::string path_;
  std::FILE* file_ = nullptr;
  std::array<char, 1 << 16> buffer_{};
  size_t fill_ = 0;
  std::string error_;
};

}  // namespace zor::run
