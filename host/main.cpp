// doved: drives the Doved plug-in exactly as a file manager does, through
// the functions it exports, so every run exercises the real interface.
#include <cstdio>
#include <cstring>
#include <string>
#include <map>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "host/commands.h"
#include "host/message_box_recorder.h"

namespace {

void PrintUsage() {
  std::fprintf(stderr,
               "usage: doved [--plugin PATH] [--config-dir DIR] [--record-boxes] COMMAND ...\n"
               "  list IMAGE                         list the entries of a TAP or TZX image\n"
               "  test IMAGE                         test every entry\n"
               "  extract IMAGE [-o DIR] [NAME...]   extract entries (all without NAMEs)\n"
               "  pack IMAGE [--move] [-C DIR] FILE...  pack files into an image\n"
               "  delete IMAGE NAME...               delete entries\n"
               "  caps                               show the plug-in's capabilities\n"
               "  config                             open the plug-in's settings\n"
               "The plug-in is the Doved.wcx beside this program unless --plugin names another.\n"
               "--config-dir names the host's settings folder, as Total Commander names its own:\n"
               "Doved.cfg goes there when the plug-in's folder cannot take it.\n"
               "--record-boxes prints the plug-in's message boxes as \"[caption] text\" on standard\n"
               "error and answers them with OK, so that no run waits for a user.\n");
}

// As Total Commander names its own settings file to a plug-in once it has
// loaded it; false when the name does not fit the host's record.
bool NameSettingsFolder(const Plugin& plugin, const std::string& folder) {
  using SetDefaultParams = void(DOVED_CALL*)(PackDefaultParamStruct*);
  const auto setDefaultParams = reinterpret_cast<SetDefaultParams>(plugin.Optional("PackSetDefaultParams"));
  if (setDefaultParams == nullptr) return true;
  const std::string name = folder + PathSeparator + "doved.ini";
  PackDefaultParamStruct params{};
  if (name.size() >= sizeof params.DefaultIniName) return false;
  params.size = sizeof params;
  params.PluginInterfaceVersionHi = 2;
  params.PluginInterfaceVersionLow = 21;
  std::memcpy(params.DefaultIniName, name.c_str(), name.size() + 1);
  setDefaultParams(&params);
  return true;
}

}  // namespace

int CapsCommand(const Plugin& plugin, const Arguments&) {
  const int caps = plugin.GetPackerCaps();
  std::printf("%d", caps);
  const std::pair<int, const char*> flags[] = {{PK_CAPS_NEW, "new"},       {PK_CAPS_MODIFY, "modify"},
                                               {PK_CAPS_MULTIPLE, "multiple"}, {PK_CAPS_DELETE, "delete"},
                                               {PK_CAPS_OPTIONS, "options"},   {PK_CAPS_SEARCHTEXT, "searchtext"}};
  for (const auto& [flag, name] : flags) {
    if (caps & flag) std::printf(" %s", name);
  }
  std::printf("\n");
  return 0;
}

int main(int argc, char** argv) {
#ifdef _WIN32
  // Lines end in LF on every platform, so that scripts read the same output.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  Arguments args(argv + 1, argv + argc);
  std::string pluginPath = DefaultPluginPath();
  bool recordBoxes = false;
  std::string configDir;
  while (!args.empty()) {
    if (args.size() >= 2 && args[0] == "--plugin") {
      pluginPath = args[1];
      args.erase(args.begin(), args.begin() + 2);
    } else if (args.size() >= 2 && args[0] == "--config-dir") {
      configDir = args[1];
      args.erase(args.begin(), args.begin() + 2);
    } else if (args[0] == "--record-boxes") {
      recordBoxes = true;
      args.erase(args.begin());
    } else {
      break;
    }
  }
  if (args.empty()) {
    PrintUsage();
    return UsageStatus;
  }
  using Command = int (*)(const Plugin&, const Arguments&);
  const std::map<std::string, Command> commands = {
      {"list", ListCommand}, {"test", TestCommand},     {"extract", ExtractCommand}, {"pack", PackCommand},
      {"delete", DeleteCommand}, {"caps", CapsCommand}, {"config", ConfigCommand},
  };
  const auto command = commands.find(args[0]);
  if (command == commands.end()) {
    PrintUsage();
    return UsageStatus;
  }
  Plugin plugin;
  std::string error;
  if (!plugin.Load(pluginPath, error)) {
    std::fprintf(stderr, "doved: %s\n", error.c_str());
    return 1;
  }
  if (recordBoxes) RecordMessageBoxes();
  if (!configDir.empty() && !NameSettingsFolder(plugin, configDir)) {
    std::fprintf(stderr, "doved: %s: too long a folder for the host's settings\n", configDir.c_str());
    return UsageStatus;
  }
  std::fflush(stdout);
  return command->second(plugin, Arguments(args.begin() + 1, args.end()));
}
