#include "base/integrity.h"

#include <cstdlib>

void IntegrityFailure() { std::abort(); }
