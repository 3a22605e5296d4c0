// The walk over an open image that a file manager makes: ReadHeader for the
// next entry, then one visit that takes it (ProcessFile, in the host), until
// ReadHeader says there are no more.
#pragma once

#include "base/host_codes.h"
#include "plugin/plugin_api.h"

// `readHeader` is the host's ReadHeader (or another that fills a `Header`); `visit(header)` handles the entry it
// describes and returns 0 to go on, or a code that ends the walk. Returns 0
// after the last entry, else the code that ended the walk: the visit's, or
// that of a ReadHeader that failed.
template <typename Header = tHeaderData, typename ReadHeader, typename Visit>
int WalkEntries(ReadHeader readHeader, HANDLE archive, Visit visit) {
  Header header{};
  for (;;) {
    const int code = readHeader(archive, &header);
    if (code == E_END_ARCHIVE) return 0;
    if (code != 0) return code;
    const int visited = visit(header);
    if (visited != 0) return visited;
  }
}
