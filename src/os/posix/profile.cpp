// The settings file, kept with the same file operations as images: reading
// takes the shared lock that Replace honours, and a save writes the whole new
// text once into a file beside the old one (unnamed where the system makes
// such files), puts it on disk and renames it over the old one, so a crash
// leaves the old file or the new one, never a part.
//
// Only a regular file of at most MaxSize bytes holds settings. Anything else
// (a FIFO, a device, a directory, a file grown huge) reads as no file without
// being opened, and a save refuses to replace it: it is not ours to lose.
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "os/posix/methods.h"
#include "os/posix/paths.h"
#include "os/posix/profile_text.h"
#include "os/posix/sharing.h"

namespace os::posix {
namespace {

// The plug-in's own keys take under 2 KiB.
constexpr std::size_t MaxSize = 64 * 1024;

// How many names a save tries for the new file beside the old one.
constexpr int NameAttempts = 100;

// One reading or saving at a time within the process: two threads saving
// different keys keep both, as Windows serialises its profile writes, and a
// reader's lock never makes another thread's save fail.
pthread_mutex_t storeLock = PTHREAD_MUTEX_INITIALIZER;
// Numbers the names beside the file; taken under storeLock.
unsigned nameCounter = 0;

class StoreLock {
 public:
  StoreLock() { pthread_mutex_lock(&storeLock); }
  ~StoreLock() { pthread_mutex_unlock(&storeLock); }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
};

std::uint32_t LastError() { return errno != 0 ? static_cast<std::uint32_t>(errno) : EIO; }

// Tries fresh names beside `target` with `take(name)`, which fails with
// EEXIST on a name in use; `name` keeps the one taken.
template <typename Take>
bool TakeName(const char* target, char* name, Take take) {
  for (int attempt = 0; attempt < NameAttempts; ++attempt) {
    const int length = snprintf(name, PathCapacity, "%s.%ld.%u.tmp", target, static_cast<long>(getpid()), nameCounter++);
    if (length < 0 || static_cast<std::size_t>(length) >= PathCapacity) {
      errno = ENAMETOOLONG;
      return false;
    }
    errno = 0;
    if (take(name)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// The settings file as it is: its text after the byte-order mark, if any,
// and the file itself, held open with its shared lock until it is replaced.
class Profile {
 public:
  Profile() : buffers_{static_cast<char*>(std::malloc(MaxSize)), static_cast<char*>(std::malloc(MaxSize))} {}
  ~Profile() {
    if (held_ != nullptr) Close(held_);
    std::free(buffers_[0]);
    std::free(buffers_[1]);
  }
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;

  Span Text() const { return text_; }

  // 0, or why the file at `path` holds no settings; a missing file holds none
  // and is no failure.
  std::uint32_t Load(const char* path) {
    char local[PathCapacity];
    if (!LocalPath(path, local)) return ENAMETOOLONG;
    if (buffers_[0] == nullptr || buffers_[1] == nullptr) return ENOMEM;
    struct stat status;
    if (stat(local, &status) != 0) return errno == ENOENT ? 0 : LastError();
    if (S_ISDIR(status.st_mode)) return EISDIR;
    if (!S_ISREG(status.st_mode)) return ENOTSUP;
    if (static_cast<std::uint64_t>(status.st_size) > MaxSize) return EFBIG;
    readOnly_ = IsReadOnly(status.st_mode);
    // The open checks the kind of file again, on what it has locked.
    errno = 0;
    held_ = Open(path, Access::Read, Disposition::OpenExisting, nullptr);
    if (held_ == nullptr) return errno == ENOENT ? 0 : LastError();
    std::uint64_t size = 0;
    std::uint32_t done = 0;
    if (!Size(held_, &size) || size > MaxSize) return EFBIG;
    if (!Read(held_, buffers_[0], static_cast<std::uint32_t>(size), &done)) return LastError();
    mark_ = MarkLength({buffers_[0], done});
    text_ = {buffers_[0] + mark_, done - mark_};
    return 0;
  }

  // The text with every value put into the section, the mark kept before it.
  std::uint32_t Put(const char* section, const ProfileValue* values, std::uint32_t count) {
    if (readOnly_) return EACCES;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::memcpy(buffers_[1], buffers_[0], mark_);
      TextOut out(buffers_[1] + mark_, MaxSize - mark_);
      PutValue(text_, section, values[i], out);
      // A larger file would read as none.
      if (out.Full()) return EFBIG;
      std::swap(buffers_[0], buffers_[1]);
      text_ = out.Text();
    }
    return 0;
  }

  // Puts the text in place of the file at `path`, through a symbolic link
  // (the link stays), with the old file's permissions.
  std::uint32_t Store(const char* path) {
    char target[PathCapacity];
    errno = 0;
    if (ResolvePath(path, target, sizeof target) == 0) return LastError();
    char name[PathCapacity];
    bool named = false;
    File* file = CreateUnnamed(path);
    if (file == nullptr) {
      named = TakeName(target, name, [&file](const char* beside) {
        file = Open(beside, Access::ReadWrite, Disposition::CreateNew, nullptr);
        return file != nullptr;
      });
      if (!named) return LastError();
    }
    bool stored = Write(file, buffers_[0], static_cast<std::uint32_t>(mark_ + text_.length), nullptr) &&
                  (held_ == nullptr || CopyMetadata(held_, file)) && Flush(file);
    if (stored && !named) {
      stored = named = TakeName(target, name, [file](const char* beside) { return Link(file, beside); });
    }
    std::uint32_t error = stored ? 0 : LastError();
    if (!Close(file) && stored) {
      stored = false;
      error = LastError();
    }
    if (stored) {
      errno = 0;
      stored = Replace(name, path, std::exchange(held_, nullptr));
      if (!stored) error = LastError();
    }
    if (!stored && named) Delete(name);
    return error;
  }

 private:
  char* buffers_[2];  // the file's bytes, and where their next form is made
  std::size_t mark_ = 0;
  Span text_{};
  bool readOnly_ = false;
  File* held_ = nullptr;
};

}  // namespace

void ReadProfile(const char* path, const char* section, ProfileValue* values, std::uint32_t count) {
  const StoreLock lock;
  Profile profile;
  profile.Load(path);
  ReadValues(profile.Text(), section, values, count);
}

std::uint32_t WriteProfile(const char* path, const char* section, const ProfileValue* values, std::uint32_t count) {
  const StoreLock lock;
  Profile profile;
  std::uint32_t error = profile.Load(path);
  if (error == 0) error = profile.Put(section, values, count);
  return error != 0 ? error : profile.Store(path);
}

// The new text of a profile file goes into a file beside it, which then
// takes its name: both need the right to write into the directory.
bool CanCreateIn(const char* directory) {
  char local[PathCapacity];
  if (!LocalPath(directory, local)) return false;
  return faccessat(AT_FDCWD, local, W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace os::posix
