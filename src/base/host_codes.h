// Result codes of the file manager's packer-plug-in interface.
#pragma once

constexpr int E_END_ARCHIVE = 10;
constexpr int E_NO_MEMORY = 11;
constexpr int E_BAD_DATA = 12;
constexpr int E_BAD_ARCHIVE = 13;
constexpr int E_UNKNOWN_FORMAT = 14;
constexpr int E_EOPEN = 15;
constexpr int E_ECREATE = 16;
constexpr int E_ECLOSE = 17;
constexpr int E_EWRITE = 19;
constexpr int E_TOO_MANY_FILES = 23;
constexpr int E_NOT_SUPPORTED = 24;
