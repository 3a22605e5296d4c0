#include "os/windows/windows_methods.h"

namespace os {

#define DOVED_OS_ENTRY(name) .name = windows::name,
const Methods Native = {DOVED_OS_OPERATIONS(DOVED_OS_ENTRY)};
#undef DOVED_OS_ENTRY

}  // namespace os
