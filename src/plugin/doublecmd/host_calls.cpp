#include "plugin/doublecmd/host_calls.h"

#include <atomic>
#include <cstring>

#include "base/error_report.h"
#include "settings/plugin_init.h"

namespace doublecmd {
namespace {

// Set by ExtensionInitialize before anything shows a box, cleared by
// ExtensionFinalize; a worker thread of the host may show a box meanwhile.
std::atomic<MessageBoxProc> messageBox{nullptr};
DialogBoxLfmProc dialogBoxLfm = nullptr;
DlgProc sendDlgMsg = nullptr;

// Whether the host's record reaches to the end of the field at `offset`.
bool Holds(const StartupInfo* info, std::size_t offset, std::size_t size) { return offset + size <= info->StructSize; }

// The host takes texts as writable pointers, and only reads them.
void ShowInHost(const char* text, const char* caption) {
  const MessageBoxProc show = messageBox.load(std::memory_order_acquire);
  if (show != nullptr) show(const_cast<char*>(text), const_cast<char*>(caption), MbOk | MbIconError);
}

// The configuration folder, when the record holds it whole with its NUL.
const char* ConfigurationFolder(const StartupInfo* info) {
  if (!Holds(info, offsetof(StartupInfo, PluginConfDir), MaxPath)) return nullptr;
  const char* folder = info->PluginConfDir;
  return std::memchr(folder, '\0', MaxPath) != nullptr ? folder : nullptr;
}

}  // namespace

bool CanShowForms() { return dialogBoxLfm != nullptr && sendDlgMsg != nullptr; }

int ShowForm(const char* lfm, std::uint32_t size, DlgProc proc) {
  if (!CanShowForms()) return 0;
  return dialogBoxLfm(reinterpret_cast<std::intptr_t>(lfm), size, proc);
}

std::intptr_t SendToControl(std::uintptr_t dialog, const char* item, std::intptr_t message, std::intptr_t wParam,
                            std::intptr_t lParam) {
  if (sendDlgMsg == nullptr) return 0;
  return sendDlgMsg(dialog, const_cast<char*>(item), message, wParam, lParam);
}

}  // namespace doublecmd

using namespace doublecmd;

DOVED_EXPORT void DOVED_CALL ExtensionInitialize(StartupInfo* info) {
  if (info == nullptr) return;
  // The settings file first: boxes may follow at once.
  UseSettingsFolder(ConfigurationFolder(info));
  if (info->StructSize >= StartupInfoNeeded) {
    dialogBoxLfm = info->DialogBoxLFM;
    sendDlgMsg = info->SendDlgMsg;
  }
  if (Holds(info, offsetof(StartupInfo, MessageBox), sizeof(MessageBoxProc)) && info->MessageBox != nullptr) {
    messageBox.store(info->MessageBox, std::memory_order_release);
    SetErrorBoxShower(ShowInHost);
  }
}

DOVED_EXPORT void DOVED_CALL ExtensionFinalize(void*) {
  SetErrorBoxShower(nullptr);
  messageBox.store(nullptr, std::memory_order_release);
  dialogBoxLfm = nullptr;
  sendDlgMsg = nullptr;
}
