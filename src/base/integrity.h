// Memory damage found by a guard: nothing can be trusted any more, so the
// process stops at once instead of reporting an error.
#pragma once

[[noreturn]] void IntegrityFailure();
