#include "helpers/host_tool.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "helpers/file_contents.h"

CommandResult RunShell(const std::string& command, bool withErrors) {
  CommandResult result{-1, {}};
  FILE* pipe = popen((command + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool HaveTool(const char* name) { return RunShell(std::string("command -v ") + name).exitCode == 0; }

namespace {

#ifdef DOVED_UNDER_WINE
// Under Wine a message box would wait for a user: the tool records it instead.
constexpr char ToolName[] = "doved.exe";
constexpr char ToolCommand[] = "wine ";
constexpr char ToolOptions[] = " --record-boxes ";
#else
constexpr char ToolName[] = "doved";
constexpr char ToolCommand[] = "";
constexpr char ToolOptions[] = " ";
#endif

}  // namespace

void HostToolTest::SetUp() {
  std::filesystem::create_directory(dir.Path("bin"));
  std::filesystem::copy_file(DOVED_HOST_TOOL, dir.Path("bin/") + ToolName);
  std::filesystem::copy_file(DOVED_PLUGIN, dir.Path("bin/Doved.wcx"));
}

CommandResult HostToolTest::Doved(const std::string& args, bool withErrors) const {
  return RunShell(ToolCommand + Quoted(dir.Path("bin/") + ToolName) + ToolOptions + args, withErrors);
}

void HostToolTest::Configure(const std::string& lines) const {
  StoreFile(dir.Path("bin/Doved.cfg"), "[Doved]\r\n" + lines);
}
