// Boards of the test data as the board page takes them: a folder, or the same files packed
// into a .zip here (libzip), in a temporary folder removed with the object.
#pragma once

#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace zor::testing {

inline std::string board_folder(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/boards/" + name;
}

// A .zip of named contents; `folder` puts every file under that folder of the archive.
class TempZip {
 public:
  explicit TempZip(const std::vector<std::pair<std::string, std::string>>& files) {
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("zor-board-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "board.zip").string();
    int error = 0;
    zip_t* archive = zip_open(path_.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, data] : files) {
      contents_.push_back(data);
      zip_source_t* source =
          zip_source_buffer(archive, contents_.back().data(), contents_.back().size(), 0);
      zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    }
    zip_close(archive);
  }
  ~TempZip() { std::filesystem::remove_all(dir_); }
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
  std::vector<std::string> contents_;
};

// The folder's files, under `prefix` in the archive.
inline std::vector<std::pair<std::string, std::string>> folder_files(const std::string& folder,
                                                                     const std::string& prefix) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    files.emplace_back(prefix + entry.path().filename().string(), data.str());
  }
  return files;
}

}  // namespace zor::testing
