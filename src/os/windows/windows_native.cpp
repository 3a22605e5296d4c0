#include "os/windows/windows_methods.h"

namespace os {

const Methods Native = {
    .Open = windows::Open,
    .Close = windows::Close,
    .Size = windows::Size,
    .Read = windows::Read,
    .Write = windows::Write,
    .Flush = windows::Flush,
    .MapView = windows::MapView,
    .UnmapView = windows::UnmapView,
    .GetTimes = windows::GetTimes,
    .SetTimes = windows::SetTimes,
    .Delete = windows::Delete,
    .CreateUnnamed = windows::CreateUnnamed,
    .Link = windows::Link,
    .CopyMetadata = windows::CopyMetadata,
    .Replace = windows::Replace,
    .ResolvePath = windows::ResolvePath,
    .Now = windows::Now,
    .Counter = windows::Counter,
    .Sleep = windows::Sleep,
    .LocalDosDateTime = windows::LocalDosDateTime,
    .Allocate = windows::Allocate,
    .Reallocate = windows::Reallocate,
    .Free = windows::Free,
    .ModulePath = windows::ModulePath,
    .ProfileInt = windows::ProfileInt,
    .ProfileStruct = windows::ProfileStruct,
    .WriteProfileString = windows::WriteProfileString,
    .WriteProfileStruct = windows::WriteProfileStruct,
    .CanCreateIn = windows::CanCreateIn,
    .ShowErrorBox = windows::ShowErrorBox,
    .SystemErrorText = windows::SystemErrorText,
};

}  // namespace os
