#include "platform/posix/dialog_test_hooks.h"

#include <deque>
#include <mutex>

#include "platform/posix/dialog_window.h"

namespace platform_test {
namespace {

std::mutex scriptMutex;
std::deque<DialogScript> scripts;

}  // namespace

int DialogUser::ResourceId() const {
  const dialog_model::DialogWindow* dialog = dialog_model::FindDialog(dialog_);
  return dialog != nullptr ? dialog->resource->id : 0;
}

std::string DialogUser::Caption() const {
  const dialog_model::DialogWindow* dialog = dialog_model::FindDialog(dialog_);
  return dialog != nullptr ? dialog->resource->caption : "";
}

bool DialogUser::IsOpen() const {
  const dialog_model::DialogWindow* dialog = dialog_model::FindDialog(dialog_);
  return dialog != nullptr && !dialog->ended;
}

std::vector<int> DialogUser::ControlIds() const {
  std::vector<int> ids;
  if (const dialog_model::DialogWindow* dialog = dialog_model::FindDialog(dialog_)) {
    for (const auto& control : dialog->controls) ids.push_back(control->id);
  }
  return ids;
}

std::string DialogUser::Text(int id) const {
  const dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  return control != nullptr ? control->text : "";
}

UINT DialogUser::CheckState(int id) const {
  const dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  return control != nullptr ? control->check : BST_UNCHECKED;
}

bool DialogUser::IsEnabled(int id) const {
  const dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  return control != nullptr && control->enabled;
}

FontInfo DialogUser::Font(int id) const {
  const dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  return control != nullptr ? DescribeFont(control->font) : FontInfo{};
}

bool DialogUser::Click(int id) {
  dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  return control != nullptr && dialog_model::Click(*control);
}

bool DialogUser::Type(int id, std::string_view text) {
  dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  return control != nullptr && dialog_model::Type(*control, text);
}

bool DialogUser::Close() {
  dialog_model::DialogWindow* dialog = dialog_model::FindDialog(dialog_);
  return dialog != nullptr && dialog_model::Close(*dialog);
}

bool DialogUser::SendCommand(int id, WORD code) {
  dialog_model::DialogWindow* dialog = dialog_model::FindDialog(dialog_);
  if (dialog == nullptr || dialog->ended) return false;
  dialog_model::Control* control = dialog_model::FindItem(dialog_, id);
  dialog_model::SendToDialog(*dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code),
                             reinterpret_cast<LPARAM>(control != nullptr ? control->Handle() : nullptr));
  return true;
}

void ScriptDialog(DialogScript script) {
  std::lock_guard lock(scriptMutex);
  scripts.push_back(std::move(script));
}

std::size_t PendingDialogScripts() {
  std::lock_guard lock(scriptMutex);
  return scripts.size();
}

void ClearDialogScripts() {
  std::lock_guard lock(scriptMutex);
  scripts.clear();
}

DialogScript TakeDialogScript() {
  std::lock_guard lock(scriptMutex);
  if (scripts.empty()) return {};
  DialogScript script = std::move(scripts.front());
  scripts.pop_front();
  return script;
}

}  // namespace platform_test
