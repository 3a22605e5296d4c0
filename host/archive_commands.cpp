// list, test and extract: the calls a file manager makes to show an image
// and copy files out of it.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

#include "host/commands.h"
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
template <typename Visit>
int WalkImage(const Plugin& plugin, const std::string& image, Visit visit) {
  std::string path = image;
  tOpenArchiveData request{};
  request.ArcName = path.data();
  request.OpenMode = PK_OM_EXTRACT;
  HANDLE archive = plugin.OpenArchive(&request);
  if (archive == nullptr) {
    ReportFailure(image, request.OpenResult);
    return request.OpenResult;
  }
  int firstFailure = 0;
  // Every entry is visited whatever the one before it met: the walk ends only
  // at the last entry or where ReadHeader fails.
  const int code = WalkEntries(plugin.ReadHeader, archive, [&](tHeaderData& header) {
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

int ListCommand(const Plugin& plugin, const Arguments& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: doved list IMAGE\n");
    return UsageStatus;
  }
  std::printf("%10s %10s  %-16s  %s\n", "Size", "Packed", "Date", "Name");
  unsigned entries = 0;
  long long unpacked = 0;
  long long packed = 0;
  // Every entry carries the image's date: format it once, not per line.
  int formattedTime = 0;
  std::string date = DateColumn(formattedTime);
  // Lines as printf("%10d %10d  %-16s  %s\n") would write them, put together by
  // hand: with 100000 entries, parsing the format for each is most of the cost.
  OutputBuffer output;
  char line[10 + 1 + 10 + 20 + sizeof(tHeaderData::FileName) + 1];  // sizes, date column, name, newline
  const int result = WalkImage(plugin, args[0], [&](HANDLE archive, tHeaderData& header) {
    if (header.FileTime != formattedTime) {
      formattedTime = header.FileTime;
      date = DateColumn(formattedTime);
    }
    char* end = WriteRightAligned(line, header.UnpSize);
    *end++ = ' ';
    end = WriteRightAligned(end, header.PackSize);
    std::memcpy(end, date.data(), date.size());
    end += date.size();
    const std::size_t nameLength = strnlen(header.FileName, sizeof header.FileName);
    std::memcpy(end, header.FileName, nameLength);
    end += nameLength;
    *end++ = '\n';
    output.Add(line, static_cast<std::size_t>(end - line));
    ++entries;
    unpacked += header.UnpSize;
    packed += header.PackSize;
    return plugin.ProcessFile(archive, PK_SKIP, nullptr, nullptr);
  });
  output.Flush();
  std::printf("%10lld %10lld  %u entries\n", unpacked, packed, entries);
  return result;
}

int TestCommand(const Plugin& plugin, const Arguments& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: doved test IMAGE\n");
    return UsageStatus;
  }
  unsigned tested = 0;
  unsigned failed = 0;
  const int result = WalkImage(plugin, args[0], [&](HANDLE archive, tHeaderData& header) {
    const int code = plugin.ProcessFile(archive, PK_TEST, nullptr, nullptr);
    ++tested;
    if (code != 0) {
      ++failed;
      ReportFailure(header.FileName, code);
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
  std::filesystem::create_directories(directory, error);
  if (error) {
    std::fprintf(stderr, "doved: cannot create %s: %s\n", directory.c_str(), error.message().c_str());
    return E_ECREATE;
  }
  if (directory.back() != '/' && directory.back() != PathSeparator) directory += PathSeparator;

  const bool showProgress = isatty(fileno(stderr)) != 0;
  std::set<std::string> found;
  unsigned extracted = 0;
  int result = WalkImage(plugin, image, [&](HANDLE archive, tHeaderData& header) {
    if (!wanted.empty() && wanted.count(header.FileName) == 0) {
      return plugin.ProcessFile(archive, PK_SKIP, nullptr, nullptr);
    }
    found.insert(header.FileName);
    std::string target = directory + header.FileName;
    const int code = plugin.ProcessFile(archive, PK_EXTRACT, nullptr, target.data());
    if (code != 0) {
      ReportFailure(header.FileName, code);
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
