// Any bytes as a TAP image file, worked through the exported functions as a
// file manager works them, in each naming mode: listed twice, tested,
// extracted, and entries deleted. Besides not crashing, every call must keep
// the promises the host relies on: the same listing each time, documented
// result codes, extracted files of the listed size, and a delete that either
// leaves the image as it was or cuts exactly the named entries out of it.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/host_codes.h"
#include "fuzz_check.h"
#include "fuzz_directory.h"
#include "os/os.h"
#include "plugin/plugin_api.h"
#include "settings/params_pattern.h"
#include "settings/settings.h"
#include "tape/image_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* TooManyNumbered =
    "This tape image contains more than 255 files.\n"
    "Such images are supported only if numbering mode is off.\n"
    "You have to switch file numbering mode off in Doved settings\n"
    "to work with this image. Sorry :(";
constexpr const char* HobetaTooLarge = "Files larger than 65280 bytes cannot be extracted in hobeta format.";
constexpr const char* DestPathSet = "DestPath is not null.\nPlease report this error to plugin author.";
constexpr const char* Corrupted = "TAP image is corrupted and cannot be modified.";
constexpr std::size_t ExtractedEntries = 8;  // the first few and the last: files cost time
constexpr int NumberedLimit = 256;
constexpr int HobetaLargest = 17 + 65280;  // header and 255 sectors

// The boxes the plug-in shows, kept instead of printed.
std::vector<std::string> boxes;

void KeepBox(const char* text, const char*) { boxes.emplace_back(text != nullptr ? text : ""); }

os::Methods quietOs;

std::vector<std::string> TakeBoxes() {
  std::vector<std::string> taken;
  taken.swap(boxes);
  return taken;
}

void ExpectBoxes(std::initializer_list<const char*> texts) {
  const std::vector<std::string> shown = TakeBoxes();
  FUZZ_CHECK(shown == std::vector<std::string>(texts.begin(), texts.end()));
}

// The private directory, reused by every run: it holds the image and, for a
// moment, one extracted file.
std::string directory;
std::string imagePath;
std::string outPath;

void RemoveDirectory() {
  std::remove(outPath.c_str());
  std::remove(imagePath.c_str());
  rmdir(directory.c_str());
}

void MakeDirectory() {
  directory = MakeFuzzDirectory("doved_exports_fuzz");
  imagePath = directory + "/image.tap";
  outPath = directory + "/extracted";
  std::atexit(RemoveDirectory);
}

void WriteImage(const Bytes& bytes) {
  std::FILE* file = std::fopen(imagePath.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
  FUZZ_CHECK(std::fclose(file) == 0);
}

Bytes ReadImage() {
  std::FILE* file = std::fopen(imagePath.c_str(), "rb");
  FUZZ_CHECK(file != nullptr);
  Bytes bytes;
  std::uint8_t buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) != 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(file);
  return bytes;
}

std::vector<std::string> FilesInDirectory() {
  std::vector<std::string> names;
  DIR* dir = opendir(directory.c_str());
  FUZZ_CHECK(dir != nullptr);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool Exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

long long SizeOf(const std::string& path) {
  struct stat status {};
  FUZZ_CHECK(stat(path.c_str(), &status) == 0);
  return status.st_size;
}

struct Listed {
  std::string name;
  int packSize;
  int unpSize;
  bool operator==(const Listed&) const = default;
};

struct Listing {
  int openCode = 0;
  std::vector<Listed> entries;
  bool operator==(const Listing&) const = default;
};

HANDLE Open(int& openCode) {
  tOpenArchiveData request{};
  request.ArcName = imagePath.data();
  request.OpenMode = PK_OM_EXTRACT;
  HANDLE archive = OpenArchive(&request);
  openCode = archive != nullptr ? 0 : request.OpenResult;
  if (archive == nullptr) FUZZ_CHECK(openCode != 0);
  return archive;
}

// Reads the header at the cursor twice, as a host may, and checks the record.
Listed Header(HANDLE archive) {
  tHeaderData header;
  std::memset(&header, 0x55, sizeof header);
  FUZZ_CHECK(ReadHeader(archive, &header) == 0);
  tHeaderData again{};
  FUZZ_CHECK(ReadHeader(archive, &again) == 0);
  FUZZ_CHECK(std::memcmp(&header, &again, offsetof(tHeaderData, CmtBuf)) == 0);
  FUZZ_CHECK(std::strcmp(header.ArcName, imagePath.c_str()) == 0);
  FUZZ_CHECK(std::memchr(header.FileName, '\0', sizeof header.FileName) != nullptr && header.FileName[0] != '\0');
  FUZZ_CHECK(header.PackSize > 0 && header.UnpSize >= 0 && header.Flags == 0);
  return {header.FileName, header.PackSize, header.UnpSize};
}

Listing List() {
  Listing listing;
  HANDLE archive = Open(listing.openCode);
  if (archive == nullptr) return listing;
  for (;;) {
    tHeaderData header{};
    const int code = ReadHeader(archive, &header);
    if (code == E_END_ARCHIVE) break;
    FUZZ_CHECK(code == 0);
    listing.entries.push_back(Header(archive));
    FUZZ_CHECK(ProcessFile(archive, PK_SKIP, nullptr, nullptr) == 0);
  }
  FUZZ_CHECK(CloseArchive(archive) == 0);
  return listing;
}

// The codes that ProcessFile documents, with the box each one shows. Code 1
// is for a hobeta file longer than 255 sectors of data, which none extracts.
void CheckProcessCode(int code, const Listed& entry, bool hobeta) {
  FUZZ_CHECK(code == 0 || code == E_BAD_DATA || code == E_ECREATE || code == E_EWRITE || code == 1);
  FUZZ_CHECK((code == 1) == (hobeta && entry.unpSize > HobetaLargest));
  if (code == 1) {
    ExpectBoxes({HobetaTooLarge});
  } else {
    ExpectBoxes({});
  }
}

std::vector<int> TestAll(const Listing& listing, bool hobeta) {
  int openCode = 0;
  HANDLE archive = Open(openCode);
  FUZZ_CHECK(archive != nullptr);
  std::vector<int> codes;
  for (const Listed& entry : listing.entries) {
    FUZZ_CHECK(Header(archive) == entry);
    codes.push_back(ProcessFile(archive, PK_TEST, nullptr, nullptr));
    CheckProcessCode(codes.back(), entry, hobeta);
  }
  tHeaderData header{};
  FUZZ_CHECK(ReadHeader(archive, &header) == E_END_ARCHIVE);
  FUZZ_CHECK(CloseArchive(archive) == 0);
  return codes;
}

// Extraction fails where the test failed, and otherwise writes a file of
// the listed size; a failure leaves no file behind.
void ExtractSome(const Listing& listing, const std::vector<int>& testCodes, bool hobeta) {
  int openCode = 0;
  HANDLE archive = Open(openCode);
  FUZZ_CHECK(archive != nullptr);
  const std::size_t count = listing.entries.size();
  for (std::size_t i = 0; i < count; ++i) {
    FUZZ_CHECK(Header(archive) == listing.entries[i]);
    if (i >= ExtractedEntries && i + 1 != count) {
      FUZZ_CHECK(ProcessFile(archive, PK_SKIP, nullptr, nullptr) == 0);
      continue;
    }
    const int code = ProcessFile(archive, PK_EXTRACT, nullptr, outPath.data());
    CheckProcessCode(code, listing.entries[i], hobeta);
    FUZZ_CHECK(code == testCodes[i]);
    if (code == 0) {
      FUZZ_CHECK(SizeOf(outPath) == listing.entries[i].unpSize);
      FUZZ_CHECK(std::remove(outPath.c_str()) == 0);
    }
    FUZZ_CHECK(!Exists(outPath));
  }
  FUZZ_CHECK(CloseArchive(archive) == 0);
}

// A target path passed in DestPath is refused, and the entry passed over.
void ExtractIntoDestPath(const Listing& listing) {
  int openCode = 0;
  HANDLE archive = Open(openCode);
  FUZZ_CHECK(archive != nullptr);
  Header(archive);
  FUZZ_CHECK(ProcessFile(archive, PK_EXTRACT, directory.data(), outPath.data()) == E_NOT_SUPPORTED);
  ExpectBoxes({DestPathSet});
  FUZZ_CHECK(!Exists(outPath));
  if (listing.entries.size() > 1) FUZZ_CHECK(Header(archive) == listing.entries[1]);
  FUZZ_CHECK(CloseArchive(archive) == 0);
}

int Delete(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  list += '\0';
  const int code = DeleteFiles(imagePath.data(), list.data());
  // Whatever happened, nothing but the image is left: no temporary image.
  FUZZ_CHECK(FilesInDirectory() == std::vector<std::string>{"image.tap"});
  return code;
}

// Where each entry starts in the image: entries lie one after another.
std::vector<std::size_t> Offsets(const Listing& listing) {
  std::vector<std::size_t> offsets;
  std::size_t offset = 0;
  for (const Listed& entry : listing.entries) {
    offsets.push_back(offset);
    offset += static_cast<std::size_t>(entry.packSize);
  }
  offsets.push_back(offset);
  return offsets;
}

// Whether the entry at `offset` begins with a header block (length 19, flag 0).
bool HasHeader(const Bytes& image, std::size_t offset) {
  return offset + 3 <= image.size() && image[offset] == 19 && image[offset + 1] == 0 && image[offset + 2] == 0;
}

// A name without its duplicate mark "[n]".
std::string WithoutMark(const std::string& name) {
  if (name.size() < 3 || name.back() != ']') return name;
  std::size_t open = name.size() - 1;
  while (open > 0 && name[open - 1] >= '0' && name[open - 1] <= '9') --open;
  return open > 0 && open < name.size() - 1 && name[open - 1] == '[' ? name.substr(0, open - 1) : name;
}

struct Mode {
  Settings settings;
  std::size_t prefixLength;  // of a numbered name: the number and its separator
};

// What a name keeps when other entries come and go: a numbered name loses
// its number, any name its duplicate mark.
std::string Lasting(const std::string& name, const Mode& mode) {
  return WithoutMark(name.substr(std::min(name.size(), mode.prefixLength)));
}

// Names that count as the same for duplicate marks: letters A-Z as a-z.
bool SameFolded(const std::string& a, const std::string& b) {
  const auto fold = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

// After entry `removed` was deleted: the image is the old one without its
// bytes, and every other entry is listed as before. Headerless blocks are
// numbered anew, and after the deleted entry numbers and the duplicate marks
// of its namesakes move up, so those parts of the names are left out.
void CheckDeleted(const Bytes& old, const Listing& before, std::size_t removed, const Mode& mode) {
  const std::vector<std::size_t> offsets = Offsets(before);
  Bytes expected(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(offsets[removed]));
  expected.insert(expected.end(), old.begin() + static_cast<std::ptrdiff_t>(offsets[removed + 1]), old.end());
  FUZZ_CHECK(ReadImage() == expected);

  const Listing after = List();
  FUZZ_CHECK(after.openCode == 0 && after.entries.size() + 1 == before.entries.size());
  for (std::size_t i = 0, j = 0; i < before.entries.size(); ++i) {
    if (i == removed) continue;
    const Listed& was = before.entries[i];
    const Listed& is = after.entries[j++];
    FUZZ_CHECK(is.packSize == was.packSize && is.unpSize == was.unpSize);
    if (!HasHeader(old, offsets[i])) continue;
    const bool namesake = SameFolded(Lasting(was.name, mode), Lasting(before.entries[removed].name, mode));
    if (i < removed || (mode.prefixLength == 0 && !namesake)) {
      FUZZ_CHECK(is.name == was.name);
    } else {
      FUZZ_CHECK(Lasting(is.name, mode) == Lasting(was.name, mode));
    }
  }
}

// One naming mode from start to end. `plain` is the listing of the plain
// mode, to which the other modes are compared; null while that is made.
Listing RunMode(const Bytes& image, const Mode& mode, const Listing* plain) {
  const Settings& s = mode.settings;
  const bool numbered = !s.RarevCompatible && s.FileNameNumbering != Numbering::None;
  SetSettings(s);
  WriteImage(image);
  TakeBoxes();

  const Listing listing = List();
  const std::vector<std::string> openBoxes = TakeBoxes();
  FUZZ_CHECK(List() == listing && TakeBoxes() == openBoxes);
  if (listing.openCode != 0) {
    // Only a scan of bad bytes fails, silently, or numbering past its limit.
    FUZZ_CHECK(listing.openCode == E_BAD_DATA || listing.openCode == E_BAD_ARCHIVE || listing.openCode == 1);
    if (listing.openCode == 1) {
      FUZZ_CHECK(numbered && openBoxes == std::vector<std::string>{TooManyNumbered});
    } else {
      FUZZ_CHECK(openBoxes.empty());
    }
  } else {
    FUZZ_CHECK(openBoxes.empty());
  }

  if (plain != nullptr) {
    // The mode changes names and extracted forms, never which entries there are.
    if (plain->openCode == 0 && numbered && static_cast<int>(plain->entries.size()) > NumberedLimit) {
      FUZZ_CHECK(listing.openCode == 1);
    } else {
      FUZZ_CHECK(listing.openCode == plain->openCode);
    }
    if (listing.openCode == 0) {
      FUZZ_CHECK(listing.entries.size() == plain->entries.size());
      for (std::size_t i = 0; i < listing.entries.size(); ++i) {
        const int was = plain->entries[i].unpSize;
        const int is = listing.entries[i].unpSize;
        FUZZ_CHECK(listing.entries[i].packSize == plain->entries[i].packSize);
        if (s.RarevCompatible) {
          FUZZ_CHECK(is == was || is + 4 == was);  // no autostart trailer
        } else if (s.ExtractHobeta) {
          FUZZ_CHECK(is == was + 17 + (256 - was % 256) % 256);  // header, whole sectors
        } else {
          FUZZ_CHECK(is == was);
        }
      }
    }
  }

  const Bytes unchanged = image;
  const std::string absent = "no such entry";
  FUZZ_CHECK(std::none_of(listing.entries.begin(), listing.entries.end(),
                          [&](const Listed& entry) { return entry.name == absent; }));
  const int code = Delete({absent});
  // Deleting nothing rewrites the image as it was, or leaves it alone.
  FUZZ_CHECK(ReadImage() == unchanged);
  if (listing.openCode != 0) {
    FUZZ_CHECK(code == listing.openCode && TakeBoxes() == openBoxes);
    return listing;
  }
  FUZZ_CHECK(code == 0 || code == E_BAD_ARCHIVE);
  if (code == 0) {
    ExpectBoxes({});
  } else {
    ExpectBoxes({Corrupted});
  }

  const std::size_t count = listing.entries.size();
  const bool hobeta = !s.RarevCompatible && s.ExtractHobeta;
  const std::vector<int> testCodes = TestAll(listing, hobeta);
  std::size_t stored = 0;
  for (const Listed& entry : listing.entries) stored += static_cast<std::size_t>(entry.packSize);
  // Only the last block may run past the end; that image cannot be changed.
  FUZZ_CHECK(stored >= image.size());
  // A block cut short tests as bad data, unless too long for a hobeta file.
  const auto unusable = [](int test) { return test == E_BAD_DATA || test == 1; };
  if (stored > image.size()) FUZZ_CHECK(code == E_BAD_ARCHIVE && unusable(testCodes.back()));
  if (code == E_BAD_ARCHIVE) FUZZ_CHECK(std::any_of(testCodes.begin(), testCodes.end(), unusable));
  if (count == 0) return listing;

  ExtractSome(listing, testCodes, hobeta);
  ExtractIntoDestPath(listing);

  for (const std::size_t removed : {std::size_t{0}, count - 1}) {
    const int deleted = Delete({listing.entries[removed].name, absent});
    FUZZ_CHECK(deleted == code);
    if (deleted != 0) {
      ExpectBoxes({Corrupted});
      FUZZ_CHECK(ReadImage() == unchanged);
      continue;
    }
    ExpectBoxes({});
    CheckDeleted(image, listing, removed, mode);
    WriteImage(image);
  }
  return listing;
}

Mode PlainMode(int numbering, const char* separator, bool hobeta) {
  Mode mode{DefaultSettings(), 0};
  mode.settings.RarevCompatible = false;
  mode.settings.FileNameNumbering = static_cast<Numbering>(numbering);
  std::memset(mode.settings.FileNameNumberingSeparator, 0, SeparatorSize);
  std::strcpy(mode.settings.FileNameNumberingSeparator, separator);
  mode.settings.ExtractHobeta = hobeta;
  if (numbering != 0) mode.prefixLength = (numbering == 1 ? 2 : 3) + std::strlen(separator);
  return mode;
}

// One of the twelve forms of the Rarev mode, picked by the image.
Mode RarevMode(const Bytes& image) {
  std::uint32_t pick = static_cast<std::uint32_t>(image.size());
  for (std::size_t i = 0; i < std::min<std::size_t>(image.size(), 8); ++i) pick = pick * 31 + image[i];
  Mode mode{DefaultSettings(), 0};
  Settings& s = mode.settings;
  s.RarevCompatible = true;
  s.ParamsPatternN = static_cast<std::uint8_t>(1 + pick % 2);
  s.FileNamingMode.ParamsGap = static_cast<GapMode>(1 + pick / 2 % 3);
  s.FileNamingMode.ParamsInDecimal = static_cast<std::uint8_t>(pick / 6 % 2);
  FUZZ_CHECK(CompileParamsPattern(s.ParamsPatternN == 2 ? s.ParamsPattern2 : s.ParamsPattern1,
                                  s.FileNamingMode.CompiledParamsPattern));
  return mode;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  quietOs = os::Native;
  quietOs.ShowErrorBox = KeepBox;
  os::Current = &quietOs;
  MakeDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The checks of where entries lie are a TAP image's, one block after
  // another; TZX images are the scan fuzzer's and the suites'.
  ImageFormat format;
  if (FormatOfImage(data, size, format).IsFailed() || format == ImageFormat::Tzx) return 0;
  const Bytes image(data, data + size);
  const Listing plain = RunMode(image, PlainMode(0, "!   ", false), nullptr);
  RunMode(image, PlainMode(1, "-", false), &plain);
  RunMode(image, PlainMode(2, "!   ", false), &plain);
  RunMode(image, PlainMode(2, "!   ", true), &plain);
  RunMode(image, RarevMode(image), &plain);
  return 0;
}
