// The readers under test take a path, so each input is written to one file of the process's
// own, rewritten for every input and removed at exit.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zor::fuzz {

class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name)
      : path_((std::filesystem::temp_directory_path() /
               ("zor-fuzz-" + std::to_string(::getpid()) + "-" + name))
                  .string()) {}
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's bytes; a harness cannot go on without its file, so failing aborts.
  const std::string& write(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size) ||
        std::fclose(f) != 0) {
      std::perror(path_.c_str());
      std::abort();
    }
    return path_;
  }

 private:
  std::string path_;
};

// A broken invariant: report it and abort, so that libFuzzer and the replay both stop on it.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

inline void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

}  // namespace zor::fuzz
