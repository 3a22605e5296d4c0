// Every operation of the interface, in the order of os::Methods: each
// implementation declares its functions and fills its table from this one
// list, so that no operation can be left out of one of them.
#pragma once

#include <type_traits>

#include "os/os.h"

#define DOVED_OS_OPERATIONS(X)                                                                                   \
  X(Open) X(Close) X(Size) X(Read) X(Write) X(Flush) X(MapView) X(UnmapView) X(GetTimes) X(SetTimes) X(Delete) \
  X(CreateUnnamed) X(Link) X(CopyMetadata) X(Replace) X(ResolvePath) X(FindNames) X(FlushName) X(Now)        \
  X(Counter) X(Sleep) X(LocalDosDateTime) X(Allocate) X(Reallocate) X(Free) X(ModulePath) X(ReadProfile)       \
  X(WriteProfile) X(CanCreateIn) X(ShowErrorBox) X(SystemErrorText) X(AnsiToUtf8) X(Utf8ToAnsi)

// Declares, in the namespace where it stands, the function `name` of the
// operation's own type.
#define DOVED_OS_DECLARE(name) std::remove_pointer_t<decltype(::os::Methods::name)> name;
