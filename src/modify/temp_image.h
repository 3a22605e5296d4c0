// The temporary image that packing and deleting fill before it replaces the
// image: a new file beside it, named "<image path>.<number>.temp".
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/disk_file.h"
#include "support/ansi_string.h"

// Where the number of each attempted name comes from.
using TempNumberSource = std::uint32_t (*)();

// The clock stirred into RandomPool, then the pool's value.
std::uint32_t FreshTempNumber();

// Creates the temporary image exclusively, open for writing and not mapped,
// trying up to five names; `name` keeps the name that was created, or is left
// empty on failure (host code E_ECREATE).
Status MakeTempImage(const char* imagePath, String& name, DiskFile& file,
                     TempNumberSource nextNumber = FreshTempNumber);

// Gives an unnamed file (DiskFile::CreateUnnamed) such a name, as
// MakeTempImage chooses one.
Status NameTempImage(const char* imagePath, String& name, DiskFile& unnamed,
                     TempNumberSource nextNumber = FreshTempNumber);

// Removes the temporary images of `imagePath` that nobody holds: what a
// process killed while its replacement had a name left behind (always
// where the system makes no unnamed files). Only names of exactly this
// form are touched. The caller has the image open for writing, so shared
// with nobody: a live process that is replacing the image holds it until
// its temporary image has taken the image's place.
void RemoveTempLeftovers(const char* imagePath);
