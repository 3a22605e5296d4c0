// The built host tool and plug-in, run as a user runs them: a private copy of
// both side by side, so that the test decides which Doved.cfg applies. Built
// with DOVED_UNDER_WINE, the same cases run the Windows build under Wine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "helpers/scratch_dir.h"

struct CommandResult {
  int exitCode;
  std::string output;  // standard output, and standard error when asked for
};

// Runs a shell command; `withErrors` adds its standard error to the output.
CommandResult RunShell(const std::string& command, bool withErrors = false);
std::string Quoted(const std::string& text);
bool HaveTool(const char* name);

// Wine keeps no file creation times, so the time code cannot travel there.
#ifdef DOVED_UNDER_WINE
#define SKIP_WITHOUT_CREATION_TIMES() \
  GTEST_SKIP() << "Wine keeps no file creation times; the native suite checks the time code"
#else
#define SKIP_WITHOUT_CREATION_TIMES() static_cast<void>(0)
#endif

class HostToolTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Runs "doved ARGS" from the private copy.
  CommandResult Doved(const std::string& args, bool withErrors = false) const;
  // Writes Doved.cfg beside the copied plug-in.
  void Configure(const std::string& lines) const;

  ScratchDir dir;
};
