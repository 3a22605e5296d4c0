#include "os/posix/methods.h"

namespace os {

#define DOVED_OS_ENTRY(name) .name = posix::name,
const Methods Native = {DOVED_OS_OPERATIONS(DOVED_OS_ENTRY)};
#undef DOVED_OS_ENTRY

}  // namespace os
