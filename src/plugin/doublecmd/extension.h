// Double Commander's extension interface, as its plug-ins meet it on Linux:
// the record it hands to ExtensionInitialize, the callbacks in it, and the
// events and messages of the dialogs that it shows from a Lazarus form.
// Plain C calls; the record is packed with 1-byte alignment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/plugin_api.h"

namespace doublecmd {

inline constexpr std::size_t MaxPath = 16384;

// Dialog procedure, and the host's message sender of the same form: `dialog`
// names the dialog, `item` one of its controls by the form's name.
using DlgProc = std::intptr_t (*)(std::uintptr_t dialog, char* item, std::intptr_t message, std::intptr_t wParam,
                                  std::intptr_t lParam);
using MessageBoxProc = int (*)(char* text, char* caption, long flags);
// Shows the form given as LFM text modally and calls `proc` with its events.
using DialogBoxLfmProc = int (*)(std::intptr_t lfmData, unsigned long dataSize, DlgProc proc);

#pragma pack(push, 1)
struct StartupInfo {
  std::uint32_t StructSize;
  char PluginDir[MaxPath];      // the library's folder
  char PluginConfDir[MaxPath];  // the host's configuration folder, writable by the user
  void* InputBox;
  MessageBoxProc MessageBox;
  DialogBoxLfmProc DialogBoxLFM;
  void* DialogBoxLRS;
  void* DialogBoxLFMFile;
  DlgProc SendDlgMsg;
  unsigned char Reserved[4096 * sizeof(void*)];
};
#pragma pack(pop)

// The fields up to the message sender, which a host must give for the dialogs.
inline constexpr std::size_t StartupInfoNeeded = offsetof(StartupInfo, SendDlgMsg) + sizeof(DlgProc);

// MessageBox flags, as Windows' MB_* values.
inline constexpr long MbOk = 0x00;
inline constexpr long MbIconError = 0x10;

// Events the host sends to a dialog procedure.
inline constexpr std::intptr_t DnClick = 0x1001;
inline constexpr std::intptr_t DnChange = 0x1003;
inline constexpr std::intptr_t DnInitDialog = 0x1005;

// Messages a dialog procedure sends to the host about one control.
inline constexpr std::intptr_t DmClose = 1;
inline constexpr std::intptr_t DmEnable = 2;
inline constexpr std::intptr_t DmGetText = 6;
inline constexpr std::intptr_t DmSetText = 12;
inline constexpr std::intptr_t DmGetCheck = 16;
inline constexpr std::intptr_t DmSetCheck = 17;

}  // namespace doublecmd

// Called once after the library is loaded, before any other call but the
// attach step, and once before it is unloaded.
DOVED_EXPORT void DOVED_CALL ExtensionInitialize(doublecmd::StartupInfo* StartupInfo);
DOVED_EXPORT void DOVED_CALL ExtensionFinalize(void* Reserved);
