// pack, delete and config: the calls a file manager makes to change an image
// and the plug-in's settings.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "host/commands.h"
#include "host/host_text.h"

namespace fs = std::filesystem;

namespace {

// The names in a directory and whether each is a directory, sorted, from
// one listing of it: a file manager knows the kinds from the panel that it
// shows and asks nothing per name. Empty when it cannot be listed.
std::vector<std::pair<std::string, bool>> ListedKinds(const fs::path& directory) {
  std::vector<std::pair<std::string, bool>> kinds;
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
    kinds.emplace_back(Utf8Of(it->path().filename()), it->is_directory(error));
  std::sort(kinds.begin(), kinds.end());
  return kinds;
}

// A file manager names a directory ending with a separator, followed by everything in it.
// The caller tells whether `relative` is a directory: it has looked already.
void AddSourceNames(const fs::path& sourceDirectory, const std::string& relative, bool isDirectory,
                    std::vector<std::string>& names) {
  if (!isDirectory) {
    names.push_back(relative);
    return;
  }
  names.push_back(relative + PathSeparator);
  for (const auto& [child, childIsDirectory] : ListedKinds(sourceDirectory / PathOf(relative)))
    AddSourceNames(sourceDirectory, relative + PathSeparator + child, childIsDirectory, names);
}

// A name that starts from a root (or a drive), not from the source folder.
bool IsRooted(const fs::path& name) { return name.is_absolute() || name.has_root_directory(); }

// Whether `path` lies in `folder`, by their components.
bool LiesIn(const fs::path& path, const fs::path& folder) {
  auto part = path.begin();
  for (const fs::path& step : folder) {
    if (step.empty()) continue;  // the end of a folder written with a separator
    if (part == path.end() || *part != step) return false;
    ++part;
  }
  return true;
}

// The source folder and the names in it that the plug-in is given. Names
// relative to the source folder stay as they are; once a name starts from a
// root, the folder becomes the deepest one that holds every named file, and
// each name is taken relative to it. False when no folder holds them all
// (files on two drives).
bool SourceNames(const fs::path& sourceDirectory, const std::vector<std::string>& files, std::string& source,
                 std::vector<std::string>& names) {
  names = files;
  fs::path folder = sourceDirectory.lexically_normal();
  if (std::any_of(files.begin(), files.end(), [](const std::string& file) { return IsRooted(PathOf(file)); })) {
    std::error_code error;
    const fs::path start = fs::absolute(folder, error);
    std::vector<fs::path> paths;
    for (const std::string& file : files) {
      const fs::path named = PathOf(file);
      fs::path path = (IsRooted(named) ? fs::absolute(named, error) : start / named).lexically_normal();
      if (!path.has_filename()) path = path.parent_path();  // a directory named with a separator
      paths.push_back(path);
    }
    folder = paths[0].parent_path();
    for (const fs::path& path : paths) {
      while (!LiesIn(path, folder)) {
        if (folder == folder.parent_path()) return false;
        folder = folder.parent_path();
      }
    }
    names.clear();
    for (const fs::path& path : paths) names.push_back(Utf8Of(path.lexically_relative(folder)));
  }
  // A relative folder stays relative, as tar takes its names: the system
  // has no long path to walk for every file.
  source = folder == "." ? "" : Utf8Of(folder);
  if (!source.empty() && source.back() != '/' && source.back() != PathSeparator) source += PathSeparator;
  return true;
}

}  // namespace

int PackCommand(const Plugin& plugin, const Arguments& args) {
  std::string image;
  fs::path sourceDirectory = ".";
  bool move = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--move") {
      move = true;
    } else if (args[i] == "-C" && i + 1 < args.size()) {
      sourceDirectory = PathOf(args[++i]);
    } else if (image.empty()) {
      image = args[i];
    } else {
      files.push_back(args[i]);
    }
  }
  if (image.empty() || files.empty()) {
    std::fprintf(stderr, "usage: doved pack IMAGE [--move] [-C DIR] FILE...\n");
    return UsageStatus;
  }
  if (!plugin.CanPack()) {
    std::fprintf(stderr, "doved: the plug-in cannot pack files\n");
    return E_NOT_SUPPORTED;
  }

  std::string source;
  std::vector<std::string> relative;
  if (!SourceNames(sourceDirectory, files, source, relative)) {
    std::fprintf(stderr, "doved: the files have no folder in common\n");
    return UsageStatus;
  }
  std::error_code error;
  const std::vector<std::pair<std::string, bool>> listed = ListedKinds(PathOf(source.empty() ? "." : source));
  std::vector<std::string> names;
  for (const std::string& file : relative) {
    const auto found = std::lower_bound(listed.begin(), listed.end(), std::pair<std::string, bool>(file, false));
    if (found != listed.end() && found->first == file) {
      AddSourceNames(PathOf(source), file, found->second, names);
      continue;
    }
    // A name below the directory, or one that the listing did not show.
    const fs::file_status status = fs::status(PathOf(source) / PathOf(file), error);
    if (!fs::exists(status)) {
      std::fprintf(stderr, "doved: %s: no such file in %s\n", file.c_str(), source.empty() ? "." : source.c_str());
      return 1;
    }
    AddSourceNames(PathOf(source), file, fs::is_directory(status), names);
  }
  const int code = plugin.PackFiles(image, source, names, move ? PK_PACK_MOVE_FILES : 0);
  if (code != 0) {
    ReportFailure(image, code);
  } else {
    std::printf("%zu names packed into %s\n", names.size(), image.c_str());
  }
  return code;
}

int DeleteCommand(const Plugin& plugin, const Arguments& args) {
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: doved delete IMAGE NAME...\n");
    return UsageStatus;
  }
  if (!plugin.CanDelete()) {
    std::fprintf(stderr, "doved: the plug-in cannot delete files\n");
    return E_NOT_SUPPORTED;
  }
  const std::string& image = args[0];
  const Arguments names(args.begin() + 1, args.end());
  // The plug-in deletes the names it finds and passes over the others, as
  // the host asks it to; the user hears of those, as extract tells them.
  std::set<std::string> listed;
  const int listing = ListedNames(plugin, image, listed);
  if (listing != 0) return listing;
  const int code = plugin.DeleteFiles(image, names);
  if (code != 0) {
    ReportFailure(image, code);
    return code;
  }
  int result = 0;
  for (const std::string& name : names) {
    if (listed.count(name) != 0) continue;
    std::fprintf(stderr, "doved: %s: not in %s\n", name.c_str(), image.c_str());
    result = 1;
  }
  return result;
}

int ConfigCommand(const Plugin& plugin, const Arguments& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: doved config\n");
    return UsageStatus;
  }
  using ConfigureFunction = void(DOVED_CALL*)(HWND, HINSTANCE);
  auto configure = reinterpret_cast<ConfigureFunction>(plugin.Optional("ConfigurePacker"));
  if (configure == nullptr) {
    std::fprintf(stderr, "doved: the plug-in has no settings\n");
    return E_NOT_SUPPORTED;
  }
  configure(nullptr, static_cast<HINSTANCE>(plugin.Module()));
  return 0;
}
