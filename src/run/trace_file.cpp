#include "run/trace_file.h"

#include <cerrno>

#include "common/output_file.h"

namespace zor::run {

const std::array<TraceFile::Line, 256> TraceFile::kLines = [] {
  std::array<Line, 256> lines{};
  for (int v = 0; v < 256; ++v) {
    const std::string text = std::to_string(v) + '\n';
    std::memcpy(lines[v].text, text.data(), text.size());
    lines[v].size = text.size();
  }
  return lines;
}();

TraceFile::TraceFile(const std::string& path) : path_(path) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    fail(errno);
    return;
  }
  // The buffer here is the only one, so a failed write is seen at the write that failed.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

TraceFile::~TraceFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void TraceFile::flush() {
  // After a failure the rest goes nowhere: the job runs on, the report tells the reason.
  if (file_ != nullptr && error_.empty() && fill_ > 0) {
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, fill_, file_) != fill_) fail(errno);
  }
  fill_ = 0;
}

bool TraceFile::close() {
  flush();
  if (file_ != nullptr) {
    errno = 0;
    if (std::fclose(file_) != 0 && error_.empty()) fail(errno);
    file_ = nullptr;
  }
  return error_.empty();
}

void TraceFile::fail(int error_number) {
  if (error_.empty()) error_ = write_error(path_, error_number);
}

}  // namespace zor::run
