#include "board/board_files.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/error.h"
#include "common/input_file.h"

#ifdef ZOR_HAVE_LIBZIP
#include <zip.h>
#endif

namespace zor {
namespace {

namespace fs = std::filesystem;

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

[[noreturn]] void too_many() {
  throw Error("В плате больше " + std::to_string(kBoardMostFiles) +
              " файлов: выберите папку или архив одной платы");
}

[[noreturn]] void too_large(const std::string& name) {
  throw Error("Файл платы слишком велик: " + name);
}

void keep(std::vector<BoardFile>& files, size_t& total, BoardFile file) {
  if (files.size() >= kBoardMostFiles) too_many();
  total += file.data.size();
  if (total > kBoardMostBytes) too_large(file.name);
  files.push_back(std::move(file));
}

std::vector<BoardFile> read_folder(const fs::path& folder) {
  std::vector<fs::path> paths;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) paths.push_back(it->path());
    if (paths.size() > kBoardMostFiles) too_many();
  }
  if (ec) throw IoError("Папка платы не читается: " + folder.string());
  std::vector<BoardFile> files;
  size_t total = 0;
  for (const fs::path& p : paths) {
    keep(files, total, {p.filename().string(), read_whole_file(p.string(), kBoardMostFileBytes)});
  }
  return files;
}

#ifdef ZOR_HAVE_LIBZIP
// A name that leaves the archive's own tree: absolute, with a drive, or with a ".." part.
bool climbs_out(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return true;
  if (name.size() > 1 && name[1] == ':') return true;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

std::vector<BoardFile> read_zip(const std::string& path) {
  // The archive is read as every file is read, then opened from memory.
  const std::string bytes = read_whole_file(path, kBoardMostBytes);
  const std::string damaged = "Архив платы повреждён или это не архив .zip: " + path;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (source == nullptr) throw IoError(damaged);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (archive == nullptr) {
    zip_source_free(source);
    throw IoError(damaged);
  }
  const std::unique_ptr<zip_t, int (*)(zip_t*)> open(archive, zip_close);
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  std::vector<BoardFile> files;
  size_t total = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
        (st.valid & ZIP_STAT_NAME) == 0) {
      throw IoError(damaged);
    }
    const std::string name = st.name;
    if (climbs_out(name)) throw Error("Имя в архиве платы выходит за его пределы: " + name);
    if (name.back() == '/') continue;  // a folder of the archive
    const std::string own = name.substr(name.find_last_of("/\\") + 1);
    if (files.size() >= kBoardMostFiles) too_many();
    if ((st.valid & ZIP_STAT_SIZE) != 0 && st.size > kBoardMostFileBytes) too_large(own);
    zip_file_t* entry = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    if (entry == nullptr) throw IoError(damaged);
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> reading(entry, zip_fclose);
    // The stated size may lie: the reading itself stops past the limit.
    std::string data;
    char buf[1 << 16];
    for (;;) {
      const zip_int64_t got = zip_fread(entry, buf, sizeof buf);
      if (got < 0) throw IoError(damaged);
      if (got == 0) break;
      data.append(buf, static_cast<size_t>(got));
      if (data.size() > kBoardMostFileBytes) too_large(own);
    }
    keep(files, total, {own, std::move(data)});
  }
  return files;
}
#endif

}  // namespace

bool is_zip_name(const std::string& path) {
  const std::string name = lower(path);
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".zip") == 0;
}

std::vector<BoardFile> read_board_files(const std::string& path) {
  std::error_code ec;
  std::vector<BoardFile> files;
  if (fs::is_directory(path, ec)) {
    files = read_folder(path);
  } else if (is_zip_name(path)) {
#ifdef ZOR_HAVE_LIBZIP
    files = read_zip(path);
#else
    throw Error("Эта сборка не читает архивы .zip: распакуйте плату в папку");
#endif
  } else if (fs::exists(path, ec)) {
    throw Error("Плата — это папка или архив .zip с её файлами: " + path);
  } else {
    throw IoError("Плата не найдена: " + path);
  }
  std::stable_sort(files.begin(), files.end(),
                   [](const BoardFile& a, const BoardFile& b) { return a.name < b.name; });
  for (size_t k = 1; k < files.size(); ++k) {
    if (files[k].name == files[k - 1].name) {
      throw Error("В архиве платы два файла с именем " + files[k].name);
    }
  }
  return files;
}

}  // namespace zor
