// The POSIX implementation of each operation, gathered into os::Native.
// Plain system calls; no operation keeps state of its own, none throws.
#pragma once

#include "os/os.h"

namespace os::posix {

File* Open(const char* path, Access access, Disposition disposition, bool* created);
bool Close(File* file);
bool Size(File* file, std::uint64_t* size);
bool Read(File* file, void* bytes, std::uint32_t count, std::uint32_t* done);
bool Write(File* file, const void* bytes, std::uint32_t count, std::uint32_t* done);
bool Flush(File* file);
bool MapView(File* file, Access access, std::uint64_t size, View* view);
bool UnmapView(View* view);
bool GetTimes(File* file, FileTime* creation, FileTime* lastWrite);
bool SetTimes(File* file, FileTime creation, FileTime lastWrite);
bool Delete(const char* path);
File* CreateUnnamed(const char* besidePath);
bool Link(File* file, const char* path);
bool CopyMetadata(File* from, File* to);
bool Replace(const char* from, const char* to, File* held);
std::uint32_t ResolvePath(const char* path, char* out, std::uint32_t size);

FileTime Now();
std::uint64_t Counter();
void Sleep(std::uint32_t milliseconds);
std::uint32_t LocalDosDateTime(FileTime time);

void* Allocate(std::size_t size);
void* Reallocate(void* block, std::size_t oldSize, std::size_t size);
bool Free(void* block);

std::uint32_t ModulePath(const void* module, char* out, std::uint32_t size);
std::uint32_t ProfileInt(const char* section, const char* key, int fallback, const char* path);
bool ProfileStruct(const char* section, const char* key, void* out, std::uint32_t size, const char* path);
bool WriteProfileString(const char* section, const char* key, const char* value, const char* path);
bool WriteProfileStruct(const char* section, const char* key, const void* bytes, std::uint32_t size,
                        const char* path);
bool CanCreateIn(const char* directory);

void ShowErrorBox(const char* text, const char* caption);
std::uint32_t SystemErrorText(std::uint32_t code, char* out, std::uint32_t size);

}  // namespace os::posix
