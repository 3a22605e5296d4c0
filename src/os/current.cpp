#include "os/os.h"

namespace os {

const Methods* Current = &Native;

}  // namespace os
