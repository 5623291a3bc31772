// One board's fabrication files as they came: from a folder (its regular files, not its
// subfolders) or from a .zip archive read in memory, never unpacked. Both give the files by
// name in one order, so a folder and its archive make the same board.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zor {

struct BoardFile {
  std::string name;  // the file's own name, without folders
  std::string data;
};

// What one board may hold: more than a board's files, far less than a disk.
inline constexpr size_t kBoardMostFiles = 100;
inline constexpr size_t kBoardMostFileBytes = size_t{32} << 20;
inline constexpr size_t kBoardMostBytes = size_t{128} << 20;

// The files of the folder or archive at `path`, sorted by name. Throws Error with the
// operator's message when the path is neither, an archive is damaged, a name climbs out of
// the archive, or a limit above is passed.
std::vector<BoardFile> read_board_files(const std::string& path);

// Whether `path` names a .zip archive by its name.
bool is_zip_name(const std::string& path);

}  // namespace zor
