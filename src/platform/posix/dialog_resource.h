// Dialog templates as the POSIX layer reads them. On Windows they are compiled
// into the module's resources; here the module provides them through
// FindDialogResource.
#pragma once

#include <cstddef>

#include "platform/posix/types.h"

struct DialogItemResource {
  int id;
  const char* windowClass;  // "Button", "Static" or "Edit"
  const char* text;
  DWORD style;
};

struct DialogResource {
  WORD id;
  const char* caption;
  const DialogItemResource* items;  // in template (tab) order
  std::size_t itemCount;
};

// The module's dialog template with this resource id, or null.
const DialogResource* FindDialogResource(WORD id);
