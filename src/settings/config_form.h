// The settings dialog without a window system: the state of each of its
// controls by control id (control_ids.h), the rules that tie them to the
// settings, and what the user does to them. A binding to a real dialog shows
// these states in its controls and reports the user's actions back.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "settings/control_kind.h"
#include "settings/dialog_controls.h"
#include "settings/settings.h"

struct FormControl {
  int id;
  FormControlKind kind;
};

// The radio buttons of one choice, which the form keeps exclusive: the ids
// from `first` to `last`.
struct RadioSet {
  int first;
  int last;
};

class ConfigForm {
 public:
  // Loads the controls from `opened`, the settings the dialog opens with,
  // and applies the update rule.
  explicit ConfigForm(const Settings& opened);

  // Every control of the dialog that has an id, in tab order.
  static std::span<const FormControl> Controls();
  // The kind of the control `id`; a push button for an id of no control,
  // as no action but a press applies to it.
  static FormControlKind KindOf(int id);
  static std::span<const RadioSet> RadioSets();

  // What the controls show. A control of another kind is not ticked and
  // shows ""; an id of no control is neither ticked nor enabled, and has no
  // text and no limit.
  bool IsTicked(int id) const;  // a check box ticked, a radio button selected
  const char* Text(int id) const;  // the edits' texts and the notice
  bool IsEnabled(int id) const;
  // How many characters an edit takes; 0 = no edit. The same for every form.
  static std::size_t TextLimit(int id);
  bool IsOpen() const { return open_; }  // neither OK accepted nor Cancel pressed

  // The user's actions. Each is false, and changes nothing, when `id` is no
  // control of that kind; the others apply the update rule afterwards.
  // Enabled states are not checked: a window system does not deliver
  // actions on disabled controls.
  bool Tick(int id, bool ticked);  // a check box now ticked or cleared
  bool Select(int id);  // a radio button; the others of its set are cleared
  bool Type(int id, const char* text);  // replaces an edit's text; beyond its limit is lost
  // The settings the controls stand for, when the selected pattern is valid;
  // otherwise nothing, and the form stays open.
  std::optional<Settings> PressOk();
  void PressCancel() { open_ = false; }

  // The settings opened with, overlaid with the controls, the selected pattern compiled.
  Settings& ReadControls(Settings& out) const;
  // Whether the compiled pattern of `s` is non-empty; null reads the controls.
  bool IsPatternValid(const Settings* s) const;
  // Recomputes the notice, the enabled states and OK from the controls.
  void UpdateControls();

  const Settings& Opened() const { return opened_; }

#define DOVED_FORM_COUNT(kind, id, ...) +((id) != IDC_STATIC ? 1 : 0)
  static constexpr std::size_t ControlCount = 0 DOVED_CONFIG_CONTROLS(DOVED_FORM_COUNT);
#undef DOVED_FORM_COUNT

 private:
  struct State {
    bool ticked;
    bool enabled;
    char text[PatternSize + 1];  // room for a whole field without its NUL
  };

  State* Find(int id);
  const State* Find(int id) const;
  void SetTicked(int id, bool ticked);
  void SetEnabled(int id, bool enabled);
  void Check(int id);

  Settings opened_;
  State states_[ControlCount];
  const char* notice_ = "";
  bool open_ = true;
};

// The About dialog's texts by control id: the banner and the configuration
// file path; "" for other ids.
const char* AboutText(int id);
// The banner; names the same version as the version resource.
extern const char AboutBanner[];
