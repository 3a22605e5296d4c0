#include "os/posix/methods.h"

namespace os {

const Methods Native = {
    .Open = posix::Open,
    .Close = posix::Close,
    .Size = posix::Size,
    .Read = posix::Read,
    .Write = posix::Write,
    .Flush = posix::Flush,
    .MapView = posix::MapView,
    .UnmapView = posix::UnmapView,
    .GetTimes = posix::GetTimes,
    .SetTimes = posix::SetTimes,
    .Delete = posix::Delete,
    .CreateUnnamed = posix::CreateUnnamed,
    .Link = posix::Link,
    .CopyMetadata = posix::CopyMetadata,
    .Replace = posix::Replace,
    .ResolvePath = posix::ResolvePath,
    .Now = posix::Now,
    .Counter = posix::Counter,
    .Sleep = posix::Sleep,
    .LocalDosDateTime = posix::LocalDosDateTime,
    .Allocate = posix::Allocate,
    .Reallocate = posix::Reallocate,
    .Free = posix::Free,
    .ModulePath = posix::ModulePath,
    .ProfileInt = posix::ProfileInt,
    .ProfileStruct = posix::ProfileStruct,
    .WriteProfileString = posix::WriteProfileString,
    .WriteProfileStruct = posix::WriteProfileStruct,
    .CanCreateIn = posix::CanCreateIn,
    .ShowErrorBox = posix::ShowErrorBox,
    .SystemErrorText = posix::SystemErrorText,
};

}  // namespace os
