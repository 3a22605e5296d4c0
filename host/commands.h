// The host tool's commands. Each returns the host code of its first failure
// (0 when all went well), which becomes the exit status.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/host_codes.h"
#include "host/plugin_library.h"

using Arguments = std::vector<std::string>;

int ListCommand(const Plugin& plugin, const Arguments& args);
int TestCommand(const Plugin& plugin, const Arguments& args);
int ExtractCommand(const Plugin& plugin, const Arguments& args);
int PackCommand(const Plugin& plugin, const Arguments& args);
int DeleteCommand(const Plugin& plugin, const Arguments& args);
int CapsCommand(const Plugin& plugin, const Arguments& args);
int ConfigCommand(const Plugin& plugin, const Arguments& args);

// The listed names of every entry of `image`; the host code of the walk.
int ListedNames(const Plugin& plugin, const std::string& image, std::set<std::string>& names);

// "error 12 (bad data)" for a host code.
std::string DescribeHostCode(int code);
// Prints "doved: <what>: <description>" on standard error.
void ReportFailure(const std::string& what, int code);
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// The exit status for wrong usage.
inline constexpr int UsageStatus = 2;
