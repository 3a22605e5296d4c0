#include "support/integrity.h"

#include <cstdlib>

void IntegrityFailure() { std::abort(); }
