// A private directory for one test, removed with its contents afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "helpers/file_contents.h"

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = ::testing::TempDir() + "doved-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = std::filesystem::canonical(pattern).string();
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string Path(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Writes the named file and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const { return FileBytes(Path(name)); }
  bool Has(std::string_view name) const { return FileExists(Path(name)); }

 private:
  std::string path_;
};

inline std::string ScratchDir::Write(std::string_view name, std::string_view bytes) const {
  StoreFile(Path(name), std::string(bytes));
  return Path(name);
}
