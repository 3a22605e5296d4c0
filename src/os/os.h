// What Doved asks of the operating system, in its own terms: one table of
// operations, implemented once with the Win32 calls and once with POSIX
// calls that give the same guarantees. Every operation reports failure as a
// value; none throws, and none keeps state for tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace os {

// 100 ns units since 1601-01-01 UTC; 0 stands for none.
using FileTime = std::uint64_t;

// An open file; null for none.
struct File;

enum class Access : std::uint8_t {
  Read,       // shared with other readers, with no writer
  ReadWrite,  // shared with nobody
};

enum class Disposition : std::uint8_t {
  CreateNew,     // the file must not exist yet
  CreateAlways,  // made anew, or emptied
  OpenExisting,  // the file must exist
  OpenAlways,    // opened, or made when missing
};

// The bytes of a whole file as they were when the view was made. No other
// program can pull them away: on Windows a mapped file cannot shrink, and on
// POSIX the view is a private copy.
struct View {
  const std::uint8_t* bytes;
  std::uint64_t size;
  void* system;  // what undoing the view needs
};

// One value of a settings file's section.
struct ProfileValue {
  enum class Kind : std::uint8_t {
    Number,  // unsigned decimal text; read as GetPrivateProfileInt reads it
    Bytes,   // each byte as two upper-case hex digits, then their sum modulo 256 in the same form
  };
  const char* key;
  Kind kind;
  std::uint32_t number;  // Number: the value; kept when the file has none
  void* bytes;           // Bytes: `size` bytes, taken only from a well-formed value of exactly that size
  std::uint32_t size;
  bool found;  // Bytes: set when reading took a value
};

// Pointers that an operation writes through may be null where the comment
// says so, and are then not written; every other pointer must be valid.
struct Methods {
  // Files. Creating a file and taking its access are one step: nobody else
  // holds a file that Open returns, beyond what `access` shares. `created`,
  // which may be null, tells that the file did not exist before.
  File* (*Open)(const char* path, Access access, Disposition disposition, bool* created);
  // The file is closed even when this fails.
  bool (*Close)(File* file);
  bool (*Size)(File* file, std::uint64_t* size);
  // At the file position; `done`, which may be null, falls short of `count`
  // only at the end of the file, or for Write when the write fails.
  bool (*Read)(File* file, void* bytes, std::uint32_t count, std::uint32_t* done);
  bool (*Write)(File* file, const void* bytes, std::uint32_t count, std::uint32_t* done);
  // Puts what the system holds of the file on its disk.
  bool (*Flush)(File* file);
  // A view of the first `size` bytes (not 0) of a file opened with `access`.
  bool (*MapView)(File* file, Access access, std::uint64_t size, View* view);
  bool (*UnmapView)(View* view);
  // A null time pointer is not written; SetTimes leaves a time of 0 as it is.
  bool (*GetTimes)(File* file, FileTime* creation, FileTime* lastWrite);
  bool (*SetTimes)(File* file, FileTime creation, FileTime lastWrite);
  bool (*Delete)(const char* path);
  // A new empty file for writing in the directory of `besidePath` that has no
  // name yet, so that nothing of it stays if the process dies; null where
  // the system makes no such files (Windows), or on failure.
  File* (*CreateUnnamed)(const char* besidePath);
  // Gives an unnamed file the name `path`, which must not exist yet.
  bool (*Link)(File* file, const char* path);
  // Gives `to` the permissions and extended attributes of `from`, where the
  // system keeps them apart from the file times (POSIX); never the read-only
  // attribute: Replace refuses a read-only file, and the file meant to
  // replace it must stay removable.
  bool (*CopyMetadata)(File* from, File* to);
  // Puts the file `from` in place of `to` in one step, durably; when `to` is
  // a symbolic link, in place of the file it names. `held` is the caller's
  // own open file on `to`, or null; it is closed, whatever the outcome. Fails
  // while anybody else has `to` open, as Windows refuses. Once `to` names
  // the new file the result is true: nothing is undone after that.
  bool (*Replace)(const char* from, const char* to, File* held);
  // The path of the file that `path` names, through symbolic links; its
  // length, or 0 when it does not fit `size` or cannot be had.
  std::uint32_t (*ResolvePath)(const char* path, char* out, std::uint32_t size);
  // Calls `found(context, rest)` for each file in the directory of `prefix`
  // whose name begins with the last part of `prefix` (compared as the system
  // compares names), `rest` being what follows it. False when the directory
  // cannot be read to its end.
  bool (*FindNames)(const char* prefix, void (*found)(void* context, const char* rest), void* context);
  // Puts the directory entry that gives `path` its name on the disk, so that
  // a file once flushed keeps its name through a power loss.
  bool (*FlushName)(const char* path);

  // Clock.
  FileTime (*Now)();
  // Nanoseconds on a clock that never steps back, from an arbitrary start.
  std::uint64_t (*Counter)();
  void (*Sleep)(std::uint32_t milliseconds);
  // The DOS date (high 16 bits) and time (low 16 bits) of `time` in local
  // time; 0 when it has none (before 1980 or after 2107).
  std::uint32_t (*LocalDosDateTime)(FileTime time);

  // Heap. Allocate zero-fills; Reallocate zero-fills what it adds to the
  // `oldSize` bytes in use.
  void* (*Allocate)(std::size_t size);
  void* (*Reallocate)(void* block, std::size_t oldSize, std::size_t size);
  bool (*Free)(void* block);

  // The library and its settings file. `module` is the library's module
  // handle, or any address inside it. Lengths as GetModuleFileNameA gives them.
  std::uint32_t (*ModulePath)(const void* module, char* out, std::uint32_t size);
  // The settings file: one section of a profile ("INI") file, read and
  // written as the Windows profile calls do. Reading takes what the file
  // holds and leaves every other value as it is; a missing file holds
  // nothing, and so does one that the system takes for no settings file (on
  // POSIX anything but a regular file of up to 64 KiB). Writing puts every
  // value into the section and keeps the rest of the file; it returns 0, or
  // the system's error code when the file could not be written or is no
  // settings file, which it never replaces.
  void (*ReadProfile)(const char* path, const char* section, ProfileValue* values, std::uint32_t count);
  std::uint32_t (*WriteProfile)(const char* path, const char* section, const ProfileValue* values,
                                std::uint32_t count);
  // Whether this process may create files in `directory`, as writing a
  // profile file there needs.
  bool (*CanCreateIn)(const char* directory);

  // The user. An error box with an OK button, over the host's window where
  // there is one; the call returns once it is answered.
  void (*ShowErrorBox)(const char* text, const char* caption);
  // The system's text for an error code, NUL-terminated; its length, or 0 without one.
  std::uint32_t (*SystemErrorText)(std::uint32_t code, char* out, std::uint32_t size);

  // Text. Every path and name inside Doved is UTF-8; the host's ANSI entry
  // points carry the system's ANSI code page, which on POSIX is UTF-8 itself.
  // Each converts NUL-ended `text` into `out` with its NUL; false when it
  // does not fit `size` bytes. A character that the code page lacks becomes "?".
  bool (*AnsiToUtf8)(const char* text, char* out, std::uint32_t size);
  bool (*Utf8ToAnsi)(const char* text, char* out, std::uint32_t size);
};

// The operating system's own methods.
extern const Methods Native;
// The methods in force: Native, or a test's wrapper around it.
extern const Methods* Current;

inline const Methods& Os() { return *Current; }

}  // namespace os
