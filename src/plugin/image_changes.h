// Packing into an image and deleting from it, once, in UTF-8: the ANSI and
// the wide entry points are bindings that convert their strings. Each
// returns the host code, after the failure of any argument that could not
// be taken, or of the call, has been reported.
#pragma once

#include "plugin/host_text.h"

int PackHostFiles(const HostText& packedFile, const HostText& srcPath, const HostText& addList, int flags);

int DeleteHostEntries(const HostText& packedFile, const HostText& deleteList);
