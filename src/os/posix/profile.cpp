// The Windows profile calls on a profile file. A write never edits the file
// in place: the new text goes into a file beside it, reaches the disk, and
// then takes the file's name in one rename, so a crash leaves the old file
// or the new one, never a part. Every line is written back with "\r\n".
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "os/posix/methods.h"
#include "os/posix/paths.h"
#include "os/posix/profile_text.h"

namespace os::posix {
namespace {

// One read-change-write at a time within the process, so that two threads
// writing different keys do not lose one of them, as Windows serialises its
// profile writes.
pthread_mutex_t writeLock = PTHREAD_MUTEX_INITIALIZER;
// Numbers the files beside the profile; taken under writeLock.
unsigned tempCounter = 0;

class WriteLock {
 public:
  WriteLock() { pthread_mutex_lock(&writeLock); }
  ~WriteLock() { pthread_mutex_unlock(&writeLock); }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
};

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0 || errno == EINTR;
  }

 private:
  int fd_;
};

// The whole file into `text`; a missing file reads as an empty one.
bool ReadProfile(const char* path, TextBuffer* text) {
  char local[PathCapacity];
  if (path == nullptr || !LocalPath(path, local)) return false;
  const Descriptor file(open(local, O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (file.Get() < 0) return errno == ENOENT;
  char piece[4096];
  for (;;) {
    const ssize_t n = read(file.Get(), piece, sizeof piece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return !text->Failed();
    text->Append(piece, static_cast<std::size_t>(n));
  }
}

bool WriteAll(int fd, Span text) {
  std::size_t done = 0;
  while (done < text.length) {
    const ssize_t n = write(fd, text.text + done, text.length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Puts `text` in place of the file at `path` (through a symbolic link: the
// link stays). The new file keeps the old one's permissions.
bool StoreProfile(const char* path, Span text) {
  char local[PathCapacity];
  char target[PathCapacity];
  if (!LocalPath(path, local) || !Resolve(local, target)) return false;
  char temp[PathCapacity];
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    const int length = snprintf(temp, sizeof temp, "%s.%ld.%u.tmp", target, static_cast<long>(getpid()), tempCounter++);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof temp) return false;
    fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  Descriptor file(fd);
  struct stat old;
  if (stat(target, &old) == 0) fchmod(file.Get(), old.st_mode & 07777);
  const bool written = WriteAll(file.Get(), text) && fsync(file.Get()) == 0;
  if (!file.Close() || !written || rename(temp, target) != 0) {
    unlink(temp);
    return false;
  }
  // The rename itself reaches the disk with the directory.
  SyncDirectoryOf(target);
  return true;
}

void AppendLine(TextBuffer* out, Span line) {
  out->Append(line);
  out->Append("\r\n", 2);
}

// The text with line `skipFrom` up to `skipTo` left out, line `replace`
// replaced by `entry`, and `entry` inserted after line `insertAfter`.
struct Edit {
  std::size_t skipFrom = NoLine;
  std::size_t skipTo = NoLine;
  std::size_t replace = NoLine;
  std::size_t insertAfter = NoLine;
};

void ApplyEdit(Span text, const Edit& edit, Span entry, TextBuffer* out) {
  LineReader lines(text);
  Span line;
  for (std::size_t index = 0; lines.Next(&line); ++index) {
    if (index >= edit.skipFrom && index < edit.skipTo) continue;
    AppendLine(out, index == edit.replace ? entry : line);
    if (index == edit.insertAfter) AppendLine(out, entry);
  }
}

// The key's value, when the file, the section and the key are there.
bool FindValue(const char* section, const char* key, const char* path, TextBuffer* text, Span* value) {
  if (section == nullptr || key == nullptr || !ReadProfile(path, text)) return false;
  const Place place = Locate(text->Text(), section, key);
  if (place.key == NoLine) return false;
  *value = place.value;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte at `at` of a hex text, or -1.
int HexByte(const char* at) {
  const int high = HexDigit(at[0]);
  const int low = HexDigit(at[1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// An optional sign and the decimal digits up to the first other character;
// an empty value is no value.
std::uint32_t ProfileInt(const char* section, const char* key, int fallback, const char* path) {
  TextBuffer text;
  Span value;
  if (!FindValue(section, key, path, &text, &value) || value.length == 0) return static_cast<std::uint32_t>(fallback);
  std::size_t at = 0;
  const bool negative = value.text[0] == '-';
  if (value.text[0] == '-' || value.text[0] == '+') ++at;
  std::uint32_t result = 0;
  for (; at < value.length && value.text[at] >= '0' && value.text[at] <= '9'; ++at) {
    result = result * 10 + static_cast<std::uint32_t>(value.text[at] - '0');
  }
  return negative ? 0u - result : result;
}

// Exactly `size` bytes as hex digits and their sum modulo 256 after them;
// anything else leaves `out` as it was.
bool ProfileStruct(const char* section, const char* key, void* out, std::uint32_t size, const char* path) {
  TextBuffer text;
  Span value;
  if (!FindValue(section, key, path, &text, &value)) return false;
  if (value.length != 2 * static_cast<std::size_t>(size) + 2) return false;
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    const int byte = HexByte(value.text + 2 * i);
    if (byte < 0) return false;
    if (i == size) {
      if (byte != sum) return false;
    } else {
      sum = static_cast<std::uint8_t>(sum + byte);
    }
  }
  auto* bytes = static_cast<std::uint8_t*>(out);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(HexByte(value.text + 2 * i));
  return true;
}

// A null key removes the section, a null value the key; either removal
// from a file that lacks it changes nothing. A key that is there keeps its
// spelling; a new key goes after the last non-blank line of its section, a
// new section at the end of the file.
bool WriteProfileString(const char* section, const char* key, const char* value, const char* path) {
  if (section == nullptr || path == nullptr) return false;
  const WriteLock lock;
  TextBuffer text;
  if (!ReadProfile(path, &text)) return false;
  const Place place = Locate(text.Text(), section, key);
  Edit edit;
  TextBuffer entry;
  if (key == nullptr) {
    if (place.header == NoLine) return true;
    edit.skipFrom = place.header;
    edit.skipTo = place.end;
  } else if (value == nullptr) {
    if (place.key == NoLine) return true;
    edit.skipFrom = place.key;
    edit.skipTo = place.key + 1;
  } else {
    entry.Append(place.key != NoLine ? place.keyName : Span{key, std::strlen(key)});
    entry.Append("=", 1);
    entry.Append(value);
    edit.replace = place.key;
    if (place.key == NoLine) edit.insertAfter = place.lastFilled;
  }
  TextBuffer result;
  ApplyEdit(text.Text(), edit, entry.Text(), &result);
  if (key != nullptr && value != nullptr && place.header == NoLine) {
    result.Append("[");
    result.Append(section);
    result.Append("]\r\n");
    AppendLine(&result, entry.Text());
  }
  if (entry.Failed() || result.Failed()) return false;
  return StoreProfile(path, result.Text());
}

bool WriteProfileStruct(const char* section, const char* key, const void* bytes, std::uint32_t size,
                        const char* path) {
  if (bytes == nullptr) return WriteProfileString(section, key, nullptr, path);
  static constexpr char Digits[] = "0123456789ABCDEF";
  const auto* data = static_cast<const std::uint8_t*>(bytes);
  TextBuffer text;
  std::uint8_t sum = 0;
  for (std::uint32_t i = 0; i <= size; ++i) {
    const std::uint8_t byte = i < size ? data[i] : sum;
    const char pair[2] = {Digits[byte >> 4], Digits[byte & 15]};
    text.Append(pair, 2);
    sum = static_cast<std::uint8_t>(sum + byte);
  }
  text.Append("", 1);  // the terminating NUL
  if (text.Failed()) return false;
  return WriteProfileString(section, key, text.Text().text, path);
}

}  // namespace

void ReadProfile(const char* path, const char* section, ProfileValue* values, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    ProfileValue& value = values[i];
    if (value.kind == ProfileValue::Kind::Number) {
      value.number = ProfileInt(section, value.key, static_cast<int>(value.number), path);
    } else {
      value.found = ProfileStruct(section, value.key, value.bytes, value.size, path);
    }
  }
}

std::uint32_t WriteProfile(const char* path, const char* section, const ProfileValue* values, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    const ProfileValue& value = values[i];
    errno = 0;
    bool written;
    if (value.kind == ProfileValue::Kind::Number) {
      char text[16];
      snprintf(text, sizeof text, "%u", value.number);
      written = WriteProfileString(section, value.key, text, path);
    } else {
      written = WriteProfileStruct(section, value.key, value.bytes, value.size, path);
    }
    if (!written) return errno != 0 ? static_cast<std::uint32_t>(errno) : EIO;
  }
  return 0;
}

// The new text of a profile file goes into a file beside it, which then
// takes its name: both need the right to write into the directory.
bool CanCreateIn(const char* directory) {
  char local[PathCapacity];
  if (!LocalPath(directory, local)) return false;
  return faccessat(AT_FDCWD, local, W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace os::posix
