// What the test hooks tell the platform layer itself.
#pragma once

#include <vector>

#include "platform/posix/test_hooks.h"

namespace platform_test {

// Records the box when boxes are being captured; false when not capturing.
bool RecordBox(const ShownBox& box);
std::vector<FakeWindow> TopLevelWindows();

}  // namespace platform_test
