// The names in a directory, to see what a file operation left behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> NamesIn(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
  return names;
}
