// doved: drives the Doved plug-in exactly as a file manager does, through
// the functions it exports, so every run exercises the real interface.
#include <cstdio>
#include <cstring>
#include <string>
#include <map>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include "host/commands.h"
#include "host/host_text.h"
#include "host/message_box_recorder.h"

namespace {

void PrintUsage() {
  std::fprintf(stderr,
               "usage: doved [--plugin PATH] [--config-dir DIR] [--ansi] [--record-boxes] COMMAND ...\n"
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
               "--ansi calls the plug-in's ANSI entry points even where it exports Unicode ones.\n"
               "--record-boxes prints the plug-in's message boxes as \"[caption] text\" on standard\n"
               "error and answers them with OK, so that no run waits for a user.\n");
}

// As Total Commander names its own settings file to a plug-in once it has
// loaded it; false when the name does not fit the host's record.
bool NameSettingsFolder(const Plugin& plugin, const std::string& folder) {
  using SetDefaultParams = void(DOVED_CALL*)(PackDefaultParamStruct*);
  const auto setDefaultParams = reinterpret_cast<SetDefaultParams>(plugin.Optional("PackSetDefaultParams"));
  if (setDefaultParams == nullptr) return true;
  // The host's record is ANSI.
  const std::string name = AnsiOf(folder + PathSeparator + "doved.ini");
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
  // Whether the host may pack and unpack on threads of its own.
  using BackgroundFlags = int(DOVED_CALL*)();
  const auto backgroundFlags = reinterpret_cast<BackgroundFlags>(plugin.Optional("GetBackgroundFlags"));
  if (backgroundFlags != nullptr) {
    const int background = backgroundFlags();
    std::printf("background:%s%s\n", background & BACKGROUND_UNPACK ? " unpack" : "",
                background & BACKGROUND_PACK ? " pack" : "");
  }
  return 0;
}

namespace {

// The command line in UTF-8: on Windows from its Unicode form, which holds
// every character of a path.
Arguments CommandLine(int argc, char** argv) {
#ifdef _WIN32
  static_cast<void>(argc);
  static_cast<void>(argv);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  Arguments args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8Of(wide[i]));
  LocalFree(wide);
  return args;
#else
  return Arguments(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Lines end in LF on every platform, so that scripts read the same output,
  // and names are UTF-8 in a console too.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
#endif
  Arguments args = CommandLine(argc, argv);
  std::string pluginPath = DefaultPluginPath();
  bool recordBoxes = false;
  bool ansi = false;
  std::string configDir;
  while (!args.empty()) {
    if (args.size() >= 2 && args[0] == "--plugin") {
      pluginPath = args[1];
      args.erase(args.begin(), args.begin() + 2);
    } else if (args.size() >= 2 && args[0] == "--config-dir") {
      configDir = args[1];
      args.erase(args.begin(), args.begin() + 2);
    } else if (args[0] == "--ansi") {
      ansi = true;
      args.erase(args.begin());
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
  if (!plugin.Load(pluginPath, ansi, error)) {
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
