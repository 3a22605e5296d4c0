// Whole-file reads and writes, existence and directory listings: what tests
// check byte for byte on disk.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void StoreFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// The sorted names of the files in `directory`.
inline std::vector<std::string> FilesIn(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The names in `directory` that end with ".temp": temporary images beside their images.
inline std::vector<std::string> TempFilesIn(const std::string& directory) {
  std::vector<std::string> names = FilesIn(directory);
  std::erase_if(names, [](const std::string& name) { return !name.ends_with(".temp"); });
  return names;
}
