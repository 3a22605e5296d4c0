// list, test and extract: the calls a file manager makes to show an image
// and copy files out of it.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

#include "host/commands.h"
#include "host/host_text.h"
#include "plugin/entry_walk.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// A listing needs its date, whatever form the host reads it in.
std::string FormatFileTime(int fileTime) {
  char text[32];
#ifdef _WIN32
  const unsigned value = static_cast<unsigned>(fileTime);
  const unsigned date = value >> 16;
  const unsigned time = value & 0xFFFF;
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", 1980 + (date >> 9), (date >> 5) & 15, date & 31, time >> 11,
                (time >> 5) & 63);
#else
  const std::time_t seconds = fileTime;
  std::tm local{};
  localtime_r(&seconds, &local);
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
#endif
  return text;
}

// The date between the two spaces that part it from the sizes and the name,
// padded to 16 columns.
std::string DateColumn(int fileTime) {
  std::string date = FormatFileTime(fileTime);
  if (date.size() < 16) date.resize(16, ' ');
  return "  " + date + "  ";
}

// `value` right-aligned in 10 columns, as "%10d" writes it, at `out`;
// returns the end of what it wrote.
char* WriteRightAligned(char* out, int value) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  for (std::size_t i = length; i < 10; ++i) *out++ = ' ';
  std::memcpy(out, digits, length);
  return out + length;
}

// Standard output gathered into large writes: a listing has a line per entry.
class OutputBuffer {
 public:
  OutputBuffer() { text_.reserve(Capacity); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;
  ~OutputBuffer() { Flush(); }

  void Add(const char* bytes, std::size_t count) {
    if (text_.size() + count > Capacity) Flush();
    text_.append(bytes, count);
  }
  void Flush() {
    std::fwrite(text_.data(), 1, text_.size(), stdout);
    text_.clear();
  }

 private:
  static constexpr std::size_t Capacity = 1 << 16;
  std::string text_;
};

// Walks an image as a file manager does: OpenArchive, then ReadHeader and
// ProcessFile for every entry, then CloseArchive. `visit` chooses the operation
// and target for each entry and hears its result.
// `opened` runs once the image is open.
template <typename Visit, typename Opened = void (*)()>
int WalkImage(const Plugin& plugin, const std::string& image, Visit visit, Opened opened = [] {}) {
  int openResult = 0;
  HANDLE archive = plugin.OpenArchive(image, openResult);
  if (archive == nullptr) {
    ReportFailure(image, openResult);
    return openResult;
  }
  opened();
  int firstFailure = 0;
  // Every entry is visited whatever the one before it met: the walk ends only
  // at the last entry or where ReadHeader fails.
  const auto readHeader = [&plugin](HANDLE walked, EntryHeader* header) { return plugin.ReadHeader(walked, header); };
  const int code = WalkEntries<EntryHeader>(readHeader, archive, [&](EntryHeader& header) {
    const int visited = visit(archive, header);
    if (firstFailure == 0) firstFailure = visited;
    return 0;
  });
  if (code != 0) {
    ReportFailure(image + ": reading the next entry", code);
    if (firstFailure == 0) firstFailure = code;
  }
  const int closed = plugin.CloseArchive(archive);
  if (closed != 0) {
    ReportFailure(image + ": closing", closed);
    if (firstFailure == 0) firstFailure = closed;
  }
  return firstFailure;
}

}  // namespace

int ListedNames(const Plugin& plugin, const std::string& image, std::set<std::string>& names) {
  return WalkImage(plugin, image, [&](HANDLE archive, EntryHeader& header) {
    names.insert(header.name);
    return plugin.ProcessFile(archive, PK_SKIP);
  });
}

int ListCommand(const Plugin& plugin, const Arguments& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: doved list IMAGE\n");
    return UsageStatus;
  }
  unsigned entries = 0;
  long long unpacked = 0;
  long long packed = 0;
  // Every entry carries the image's date: format it once, not per line.
  int formattedTime = 0;
  std::string date = DateColumn(formattedTime);
  // Lines as printf("%10d %10d  %-16s  %s\n") would write them, put together by
  // hand: with 100000 entries, parsing the format for each is most of the cost.
  OutputBuffer output;
  char line[10 + 1 + 10 + 20];  // sizes, date column
  bool opened = false;
  const int result = WalkImage(
      plugin, args[0],
      [&](HANDLE archive, EntryHeader& header) {
        if (header.fileTime != formattedTime) {
          formattedTime = header.fileTime;
          date = DateColumn(formattedTime);
        }
        char* end = WriteRightAligned(line, header.unpSize);
        *end++ = ' ';
        end = WriteRightAligned(end, header.packSize);
        std::memcpy(end, date.data(), date.size());
        end += date.size();
        output.Add(line, static_cast<std::size_t>(end - line));
        header.name += '\n';
        output.Add(header.name.data(), header.name.size());
        ++entries;
        unpacked += header.unpSize;
        packed += header.packSize;
        return plugin.ProcessFile(archive, PK_SKIP);
      },
      // An image that does not open has no table, only its error.
      [&] {
        std::printf("%10s %10s  %-16s  %s\n", "Size", "Packed", "Date", "Name");
        std::fflush(stdout);
        opened = true;
      });
  output.Flush();
  if (opened) std::printf("%10lld %10lld  %u entries\n", unpacked, packed, entries);
  return result;
}

int TestCommand(const Plugin& plugin, const Arguments& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: doved test IMAGE\n");
    return UsageStatus;
  }
  unsigned tested = 0;
  unsigned failed = 0;
  const int result = WalkImage(plugin, args[0], [&](HANDLE archive, EntryHeader& header) {
    const int code = plugin.ProcessFile(archive, PK_TEST);
    ++tested;
    if (code != 0) {
      ++failed;
      ReportFailure(header.name, code);
    }
    return code;
  });
  std::printf("%u entries tested, %u failed\n", tested, failed);
  return result;
}

int ExtractCommand(const Plugin& plugin, const Arguments& args) {
  std::string directory = ".";
  std::string image;
  std::set<std::string> wanted;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      directory = args[++i];
    } else if (image.empty()) {
      image = args[i];
    } else {
      wanted.insert(args[i]);
    }
  }
  if (image.empty()) {
    std::fprintf(stderr, "usage: doved extract IMAGE [-o DIR] [NAME...]\n");
    return UsageStatus;
  }
  // A folder that is not there yet is made, as archivers do.
  std::error_code error;
  std::filesystem::create_directories(PathOf(directory), error);
  if (error) {
    std::fprintf(stderr, "doved: cannot create %s: %s\n", directory.c_str(), error.message().c_str());
    return E_ECREATE;
  }
  if (directory.back() != '/' && directory.back() != PathSeparator) directory += PathSeparator;

  const bool showProgress = isatty(fileno(stderr)) != 0;
  std::set<std::string> found;
  unsigned extracted = 0;
  int result = WalkImage(plugin, image, [&](HANDLE archive, EntryHeader& header) {
    if (!wanted.empty() && wanted.count(header.name) == 0) return plugin.ProcessFile(archive, PK_SKIP);
    found.insert(header.name);
    const std::string target = directory + header.name;
    const int code = plugin.ProcessFile(archive, PK_EXTRACT, &target);
    if (code != 0) {
      ReportFailure(header.name, code);
    } else {
      ++extracted;
      if (showProgress && extracted % 64 == 0) std::fprintf(stderr, "\rextracted %u", extracted);
    }
    return code;
  });
  if (showProgress && extracted >= 64) std::fprintf(stderr, "\r");
  for (const std::string& name : wanted) {
    if (found.count(name) != 0) continue;
    std::fprintf(stderr, "doved: %s: not in %s\n", name.c_str(), image.c_str());
    if (result == 0) result = 1;
  }
  std::printf("%u entries extracted to %s\n", extracted, directory.c_str());
  return result;
}
