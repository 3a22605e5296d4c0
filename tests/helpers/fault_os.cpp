#include "helpers/fault_os.h"

#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "os/operations.h"

namespace fault_os {
namespace {

constexpr const char* OpNames[] = {"Open",     "Close",    "Size",        "Read",          "Write",
                                   "Flush",       "MapView",       "UnmapView",
                                   "GetTimes", "SetTimes", "Delete",      "CreateUnnamed", "Link",
                                   "CopyMetadata", "Replace", "ResolvePath", "FindNames", "FlushName",
                                   "Allocate", "Reallocate", "ModulePath", "ReadProfile", "WriteProfile"};
static_assert(sizeof OpNames / sizeof OpNames[0] == static_cast<std::size_t>(Op::Count));

// The state of the one wrapper installed; the plug-in may call from several
// threads, so every change is made under the lock.
struct State {
  std::mutex lock;
  const os::Methods* inner = nullptr;
  unsigned anyCall = 0;
  unsigned failAnyAt = 0;  // 0: none planned
  std::array<unsigned, static_cast<std::size_t>(Op::Count)> calls{};
  std::array<unsigned, static_cast<std::size_t>(Op::Count)> failAt{};
  std::array<bool, static_cast<std::size_t>(Op::Count)> failEvery{};
  bool injected = false;
  std::string injectedCall;
  std::vector<Box> boxes;
  std::map<std::uint32_t, std::string> systemTexts;
  unsigned pauses = 0;
  std::set<os::File*> files;
  std::set<void*> blocks;
};

State state;

// Counts the call and tells whether it is to fail.
bool Fails(Op op) {
  std::lock_guard<std::mutex> guard(state.lock);
  const auto index = static_cast<std::size_t>(op);
  const unsigned nth = ++state.calls[index];
  const unsigned any = ++state.anyCall;
  bool fail = state.failEvery[index];
  if (state.failAt[index] != 0 && nth == state.failAt[index]) {
    state.failAt[index] = 0;
    fail = true;
  }
  if (state.failAnyAt != 0 && any == state.failAnyAt) {
    state.failAnyAt = 0;
    fail = true;
  }
  if (fail && !state.injected) {
    state.injected = true;
    state.injectedCall = std::string(NameOf(op)) + " #" + std::to_string(nth);
  }
  return fail;
}

const os::Methods& Inner() { return *state.inner; }

os::File* Open(const char* path, os::Access access, os::Disposition disposition, bool* created) {
  if (Fails(Op::Open)) return nullptr;
  os::File* file = Inner().Open(path, access, disposition, created);
  if (file != nullptr) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.files.insert(file);
  }
  return file;
}

bool Close(os::File* file) {
  {
    std::lock_guard<std::mutex> guard(state.lock);
    state.files.erase(file);
  }
  // The file is closed even when the call reports failure.
  const bool fails = Fails(Op::Close);
  const bool closed = Inner().Close(file);
  return closed && !fails;
}

bool Size(os::File* file, std::uint64_t* size) { return !Fails(Op::Size) && Inner().Size(file, size); }

bool Read(os::File* file, void* bytes, std::uint32_t count, std::uint32_t* done) {
  if (done != nullptr) *done = 0;
  return !Fails(Op::Read) && Inner().Read(file, bytes, count, done);
}

bool Write(os::File* file, const void* bytes, std::uint32_t count, std::uint32_t* done) {
  if (done != nullptr) *done = 0;
  return !Fails(Op::Write) && Inner().Write(file, bytes, count, done);
}

bool Flush(os::File* file) { return !Fails(Op::Flush) && Inner().Flush(file); }

bool MapView(os::File* file, os::Access access, std::uint64_t size, os::View* view) {
  return !Fails(Op::MapView) && Inner().MapView(file, access, size, view);
}

bool UnmapView(os::View* view) {
  const bool fails = Fails(Op::UnmapView);
  const bool unmapped = Inner().UnmapView(view);
  return unmapped && !fails;
}

bool GetTimes(os::File* file, os::FileTime* creation, os::FileTime* lastWrite) {
  return !Fails(Op::GetTimes) && Inner().GetTimes(file, creation, lastWrite);
}

bool SetTimes(os::File* file, os::FileTime creation, os::FileTime lastWrite) {
  return !Fails(Op::SetTimes) && Inner().SetTimes(file, creation, lastWrite);
}

bool Delete(const char* path) { return !Fails(Op::Delete) && Inner().Delete(path); }
os::File* CreateUnnamed(const char* besidePath) {
  if (Fails(Op::CreateUnnamed)) return nullptr;
  os::File* file = Inner().CreateUnnamed(besidePath);
  if (file != nullptr) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.files.insert(file);
  }
  return file;
}

bool Link(os::File* file, const char* path) { return !Fails(Op::Link) && Inner().Link(file, path); }

bool CopyMetadata(os::File* from, os::File* to) { return !Fails(Op::CopyMetadata) && Inner().CopyMetadata(from, to); }

// `held` is closed whatever the outcome, as the real call does.
bool Replace(const char* from, const char* to, os::File* held) {
  if (held != nullptr) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.files.erase(held);
  }
  if (Fails(Op::Replace)) {
    if (held != nullptr) Inner().Close(held);
    return false;
  }
  return Inner().Replace(from, to, held);
}

std::uint32_t ResolvePath(const char* path, char* out, std::uint32_t size) {
  return Fails(Op::ResolvePath) ? 0 : Inner().ResolvePath(path, out, size);
}

bool FindNames(const char* prefix, void (*found)(void* context, const char* rest), void* context) {
  return !Fails(Op::FindNames) && Inner().FindNames(prefix, found, context);
}

bool FlushName(const char* path) { return !Fails(Op::FlushName) && Inner().FlushName(path); }

os::FileTime Now() { return Inner().Now(); }
std::uint64_t Counter() { return Inner().Counter(); }

void Sleep(std::uint32_t) {
  std::lock_guard<std::mutex> guard(state.lock);
  ++state.pauses;
}

std::uint32_t LocalDosDateTime(os::FileTime time) { return Inner().LocalDosDateTime(time); }

void* Allocate(std::size_t size) {
  if (Fails(Op::Allocate)) return nullptr;
  void* block = Inner().Allocate(size);
  if (block != nullptr) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.blocks.insert(block);
  }
  return block;
}

void* Reallocate(void* block, std::size_t oldSize, std::size_t size) {
  if (Fails(Op::Reallocate)) return nullptr;
  void* moved = Inner().Reallocate(block, oldSize, size);
  if (moved != nullptr) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.blocks.erase(block) != 0) state.blocks.insert(moved);
  }
  return moved;
}

bool Free(void* block) {
  {
    std::lock_guard<std::mutex> guard(state.lock);
    state.blocks.erase(block);
  }
  return Inner().Free(block);
}

std::uint32_t ModulePath(const void* module, char* out, std::uint32_t size) {
  return Fails(Op::ModulePath) ? 0 : Inner().ModulePath(module, out, size);
}

// A read that fails finds no file.
void ReadProfile(const char* path, const char* section, os::ProfileValue* values, std::uint32_t count) {
  if (!Fails(Op::ReadProfile)) Inner().ReadProfile(path, section, values, count);
}

// The error a failing write reports: EIO.
constexpr std::uint32_t InjectedWriteError = 5;

std::uint32_t WriteProfile(const char* path, const char* section, const os::ProfileValue* values,
                           std::uint32_t count) {
  return Fails(Op::WriteProfile) ? InjectedWriteError : Inner().WriteProfile(path, section, values, count);
}

bool CanCreateIn(const char* directory) { return Inner().CanCreateIn(directory); }

void ShowErrorBox(const char* text, const char* caption) {
  std::lock_guard<std::mutex> guard(state.lock);
  state.boxes.push_back({caption, text});
}

std::uint32_t SystemErrorText(std::uint32_t code, char* out, std::uint32_t size) {
  std::lock_guard<std::mutex> guard(state.lock);
  const auto text = state.systemTexts.find(code);
  if (text == state.systemTexts.end() || text->second.size() + 1 > size) return 0;
  std::memcpy(out, text->second.c_str(), text->second.size() + 1);
  return static_cast<std::uint32_t>(text->second.size());
}

bool AnsiToUtf8(const char* text, char* out, std::uint32_t size) { return Inner().AnsiToUtf8(text, out, size); }

bool Utf8ToAnsi(const char* text, char* out, std::uint32_t size) { return Inner().Utf8ToAnsi(text, out, size); }

#define FAULT_OS_ENTRY(name) .name = name,
const os::Methods Wrapper = {DOVED_OS_OPERATIONS(FAULT_OS_ENTRY)};
#undef FAULT_OS_ENTRY

}  // namespace

const char* NameOf(Op op) { return OpNames[static_cast<std::size_t>(op)]; }

FaultyOs::FaultyOs() {
  std::lock_guard<std::mutex> guard(state.lock);
  state.inner = os::Current;
  state.boxes.clear();
  state.systemTexts.clear();
  state.pauses = 0;
  state.files.clear();
  state.blocks.clear();
  os::Current = &Wrapper;
}

FaultyOs::~FaultyOs() {
  Clear();
  os::Current = state.inner;
}

void FaultyOs::FailNthCall(unsigned nth) {
  std::lock_guard<std::mutex> guard(state.lock);
  state.failAnyAt = state.anyCall + nth;
}

void FaultyOs::FailNth(Op op, unsigned nth) {
  std::lock_guard<std::mutex> guard(state.lock);
  const auto index = static_cast<std::size_t>(op);
  state.failAt[index] = state.calls[index] + nth;
}

void FaultyOs::FailEvery(Op op) {
  std::lock_guard<std::mutex> guard(state.lock);
  state.failEvery[static_cast<std::size_t>(op)] = true;
}

void FaultyOs::Clear() {
  std::lock_guard<std::mutex> guard(state.lock);
  state.anyCall = 0;
  state.failAnyAt = 0;
  state.calls.fill(0);
  state.failAt.fill(0);
  state.failEvery.fill(false);
  state.injected = false;
  state.injectedCall.clear();
}

bool FaultyOs::Injected() const {
  std::lock_guard<std::mutex> guard(state.lock);
  return state.injected;
}

std::string FaultyOs::InjectedCall() const {
  std::lock_guard<std::mutex> guard(state.lock);
  return state.injectedCall;
}

unsigned FaultyOs::Calls(Op op) const {
  std::lock_guard<std::mutex> guard(state.lock);
  return state.calls[static_cast<std::size_t>(op)];
}

void FaultyOs::SetSystemText(std::uint32_t code, const std::string& text) {
  std::lock_guard<std::mutex> guard(state.lock);
  state.systemTexts[code] = text;
}

std::vector<Box> FaultyOs::TakeBoxes() {
  std::lock_guard<std::mutex> guard(state.lock);
  std::vector<Box> boxes;
  boxes.swap(state.boxes);
  return boxes;
}

std::vector<std::string> FaultyOs::TakeBoxTexts() {
  std::vector<std::string> texts;
  for (const Box& box : TakeBoxes()) texts.push_back(box.text);
  return texts;
}

unsigned FaultyOs::Pauses() const {
  std::lock_guard<std::mutex> guard(state.lock);
  return state.pauses;
}

int FaultyOs::OpenFiles() const {
  std::lock_guard<std::mutex> guard(state.lock);
  return static_cast<int>(state.files.size());
}

long FaultyOs::LiveBlocks() const {
  std::lock_guard<std::mutex> guard(state.lock);
  return static_cast<long>(state.blocks.size());
}

}  // namespace fault_os
