#include "plugin/doublecmd/lfm_form.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "settings/config_form.h"
#include "settings/dialog_controls.h"

namespace doublecmd {
namespace {

// The Win32 style bits of the control table, under their Windows names and
// with their Windows values: the table is written in them.
constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003;
constexpr std::uint32_t BS_GROUPBOX = 0x0007;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;
constexpr std::uint32_t BS_TYPEMASK = 0x000F;
constexpr std::uint32_t SS_LEFT = 0x0000;
constexpr std::uint32_t SS_CENTER = 0x0001;
constexpr std::uint32_t SS_NOPREFIX = 0x0080;
constexpr std::uint32_t SS_SUNKEN = 0x1000;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr std::uint32_t ES_READONLY = 0x0800;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_BORDER = 0x00800000;

#define DOVED_FORM_ROW(kind, id, windowClass, text, style, x, y, width, height) \
  {FormControlKind::kind, id, windowClass, text, static_cast<std::uint32_t>(style), x, y, width, height},

constexpr FormRow ConfigRows[] = {DOVED_CONFIG_CONTROLS(DOVED_FORM_ROW)};
constexpr FormRow AboutRows[] = {DOVED_ABOUT_CONTROLS(DOVED_FORM_ROW)};

#undef DOVED_FORM_ROW

static_assert(BS_PUSHBUTTON == 0 && SS_LEFT == 0 && ES_AUTOHSCROLL != 0 && WS_GROUP != 0 && WS_BORDER != 0);

const FormTemplate Config = {DOVED_CONFIG_CAPTION, DOVED_CONFIG_WIDTH,    DOVED_CONFIG_HEIGHT,
                             ConfigRows,           std::size(ConfigRows), IDC_MESSAGE};
const FormTemplate About = {DOVED_ABOUT_CAPTION, DOVED_ABOUT_WIDTH,    DOVED_ABOUT_HEIGHT,
                            AboutRows,           std::size(AboutRows), 0};

// The dialog font in Lazarus terms: 8 points at 96 dpi are 11 pixels. The
// system's own sans serif font is wider than the shell dialog font that the
// table is laid out for; fonts with Arial's widths are near it, and the font
// configuration finds one of them under this name (Liberation Sans, Nimbus
// Sans), or the default font without one.
constexpr int FontHeight = -11;
constexpr char FontName[] = "Arial";

// Where Lazarus starts a group box's client area, in which its children are
// placed, from the group box's corner: inside the frame, and below the
// caption when it has one.
constexpr int GroupClientLeft = 2;
constexpr int GroupClientTop = 11;
constexpr int UncaptionedGroupClientTop = 2;

enum class Kind { GroupBox, Button, CheckBox, Edit, Label, SunkenLabel };

Kind KindOf(const FormRow& row) {
  switch (row.kind) {
    case FormControlKind::GroupBox:
      return Kind::GroupBox;
    // Double Commander's forms know no radio buttons: a radio button is a
    // check box, whose set the settings form keeps exclusive.
    case FormControlKind::CheckBox:
    case FormControlKind::RadioButton:
      return Kind::CheckBox;
    case FormControlKind::Edit:
    case FormControlKind::ReadOnlyEdit:
      return Kind::Edit;
    case FormControlKind::Label:
      return Kind::Label;
    case FormControlKind::Notice:
      return Kind::SunkenLabel;
    case FormControlKind::PushButton:
      break;
  }
  return Kind::Button;
}

bool Holds(const FormRow& outer, const FormRow& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

constexpr std::size_t NoParent = static_cast<std::size_t>(-1);

// The innermost group box before `index` in the table that holds it: group
// boxes come before what they hold.
std::size_t ParentOf(const FormTemplate& form, std::size_t index) {
  std::size_t parent = NoParent;
  for (std::size_t i = 0; i < index; ++i) {
    if (KindOf(form.rows[i]) == Kind::GroupBox && Holds(form.rows[i], form.rows[index])) {
      if (parent == NoParent || Holds(form.rows[parent], form.rows[i])) parent = i;
    }
  }
  return parent;
}

bool HasCancelButton(const FormTemplate& form) {
  for (std::size_t i = 0; i < form.count; ++i) {
    if (form.rows[i].id == IDC_CANCEL) return true;
  }
  return false;
}

// LFM text into a String; the first failure sticks and ends the writing.
class LfmWriter {
 public:
  explicit LfmWriter(String& out) : out_(out) {}

  Status Result() const { return status_; }

  void Raw(const char* text) {
    if (status_.IsOk()) status_ = out_.Append(text);
  }

  void Line(int depth, const char* text) {
    Indent(depth);
    Raw(text);
    Raw("\n");
  }

  void Number(int depth, const char* name, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    Word(depth, name, text);
  }

  // A value written as it is: an identifier, a set, a number.
  void Word(int depth, const char* name, const char* value) {
    Indent(depth);
    Raw(name);
    Raw(" = ");
    Raw(value);
    Raw("\n");
  }

  void Text(int depth, const char* name, const char* text) {
    Indent(depth);
    Raw(name);
    Raw(" = ");
    Quoted(text);
    Raw("\n");
  }

 private:
  void Indent(int depth) {
    for (int i = 0; i < depth; ++i) Raw("  ");
  }

  // A Pascal string: printable characters in quotes, a quote doubled, any
  // other byte as #<code> between the quoted runs.
  void Quoted(const char* text) {
    bool open = false;
    if (*text == '\0') Raw("''");
    for (const char* p = text; *p != '\0'; ++p) {
      const auto byte = static_cast<unsigned char>(*p);
      if (byte >= 0x20 && byte < 0x7F) {
        if (!open) Raw("'");
        open = true;
        const char single[2] = {*p, '\0'};
        Raw(byte == '\'' ? "''" : single);
      } else {
        if (open) Raw("'");
        open = false;
        char code[8];
        std::snprintf(code, sizeof code, "#%u", byte);
        Raw(code);
      }
    }
    if (open) Raw("'");
  }

  String& out_;
  Status status_ = StatusOk;
};

class FormWriter {
 public:
  FormWriter(const FormTemplate& form, String& out) : form_(form), lfm_(out) {}

  Status Write() {
    lfm_.Line(0, "object DialogBox: TDialogBox");
    lfm_.Text(1, "Caption", form_.caption);
    lfm_.Word(1, "BorderStyle", "bsDialog");
    lfm_.Word(1, "Position", "poScreenCenter");
    lfm_.Number(1, "Width", PixelsX(form_.width));
    lfm_.Number(1, "Height", PixelsY(form_.height));
    lfm_.Number(1, "ClientWidth", PixelsX(form_.width));
    lfm_.Number(1, "ClientHeight", PixelsY(form_.height));
    lfm_.Number(1, "Font.Height", FontHeight);
    lfm_.Text(1, "Font.Name", FontName);
    lfm_.Word(1, "OnShow", "DialogBoxShow");
    WriteChildren(NoParent, 1);
    lfm_.Line(0, "end");
    return lfm_.Result();
  }

 private:
  void WriteChildren(std::size_t parent, int depth) {
    int tabOrder = 0;
    for (std::size_t i = 0; i < form_.count; ++i) {
      if (ParentOf(form_, i) == parent) WriteControl(i, depth, tabOrder);
    }
  }

  // Left, Top, Width and Height within the parent's client area.
  void WriteBounds(std::size_t index, int depth) {
    const FormRow& row = form_.rows[index];
    int left = PixelsX(row.x);
    int top = PixelsY(row.y);
    const std::size_t parent = ParentOf(form_, index);
    if (parent != NoParent) {
      const FormRow& box = form_.rows[parent];
      left -= PixelsX(box.x) + GroupClientLeft;
      top -= PixelsY(box.y) + (*box.text != '\0' ? GroupClientTop : UncaptionedGroupClientTop);
    }
    lfm_.Number(depth, "Left", left);
    lfm_.Number(depth, "Top", top);
    lfm_.Number(depth, "Width", PixelsX(row.width));
    lfm_.Number(depth, "Height", PixelsY(row.height));
  }

  void Open(const char* name, const char* className, int depth) {
    char line[64];
    std::snprintf(line, sizeof line, "object %s: %s", name, className);
    lfm_.Line(depth, line);
  }

  void WriteFont(int id, int depth) {
    if (id != form_.boldId) return;
    lfm_.Word(depth, "ParentFont", "False");
    lfm_.Number(depth, "Font.Height", FontHeight);
    lfm_.Text(depth, "Font.Name", FontName);
    lfm_.Word(depth, "Font.Style", "[fsBold]");
  }

  void WriteTabStop(const FormRow& row, int depth, int& tabOrder) {
    lfm_.Number(depth, "TabOrder", tabOrder++);
    if ((row.style & WS_TABSTOP) == 0) lfm_.Word(depth, "TabStop", "False");
  }

  void WriteControl(std::size_t index, int depth, int& tabOrder) {
    const FormRow& row = form_.rows[index];
    ControlNameText name;
    ControlName(form_, index, name);
    switch (KindOf(row)) {
      case Kind::GroupBox:
        Open(name, "TGroupBox", depth);
        WriteBounds(index, depth + 1);
        lfm_.Text(depth + 1, "Caption", row.text);
        lfm_.Number(depth + 1, "TabOrder", tabOrder++);
        WriteChildren(index, depth + 1);
        break;
      case Kind::Button:
        Open(name, "TButton", depth);
        WriteBounds(index, depth + 1);
        lfm_.Text(depth + 1, "Caption", row.text);
        if ((row.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) lfm_.Word(depth + 1, "Default", "True");
        // Escape presses Cancel, or OK in a dialog without one, as on Windows.
        if (row.id == IDC_CANCEL || (row.id == IDC_OK && !HasCancelButton(form_))) {
          lfm_.Word(depth + 1, "Cancel", "True");
        }
        WriteTabStop(row, depth + 1, tabOrder);
        lfm_.Word(depth + 1, "OnClick", "ButtonClick");
        break;
      case Kind::CheckBox:
        Open(name, "TCheckBox", depth);
        WriteBounds(index, depth + 1);
        lfm_.Word(depth + 1, "AutoSize", "False");
        lfm_.Text(depth + 1, "Caption", row.text);
        WriteTabStop(row, depth + 1, tabOrder);
        lfm_.Word(depth + 1, "OnChange", "CheckBoxChange");
        break;
      case Kind::Edit: {
        Open(name, "TEdit", depth);
        WriteBounds(index, depth + 1);
        lfm_.Text(depth + 1, "Text", row.text);
        // The two dialogs' ids differ, so the settings form's limits serve the About edit too.
        const std::size_t limit = ConfigForm::TextLimit(row.id);
        if (limit != 0) lfm_.Number(depth + 1, "MaxLength", static_cast<int>(limit));
        WriteTabStop(row, depth + 1, tabOrder);
        // What cannot be typed into tells nothing.
        if (row.kind == FormControlKind::ReadOnlyEdit) {
          lfm_.Word(depth + 1, "ReadOnly", "True");
        } else {
          lfm_.Word(depth + 1, "OnChange", "EditChange");
        }
        break;
      }
      case Kind::Label:
        Open(name, "TLabel", depth);
        WriteBounds(index, depth + 1);
        WriteLabelText(row, depth + 1);
        break;
      case Kind::SunkenLabel: {
        // A label draws no frame: a lowered panel gives it its sunken edge.
        ControlNameText frame;
        std::snprintf(frame, sizeof frame, "Frame%zu", index);
        Open(frame, "TPanel", depth);
        WriteBounds(index, depth + 1);
        lfm_.Word(depth + 1, "BevelOuter", "bvLowered");
        lfm_.Text(depth + 1, "Caption", "");
        lfm_.Number(depth + 1, "TabOrder", tabOrder++);
        lfm_.Word(depth + 1, "TabStop", "False");
        Open(name, "TLabel", depth + 1);
        lfm_.Word(depth + 2, "Align", "alClient");
        lfm_.Number(depth + 2, "BorderSpacing.Around", 2);
        WriteLabelText(row, depth + 2);
        lfm_.Word(depth + 2, "WordWrap", "True");
        WriteFont(row.id, depth + 2);
        lfm_.Line(depth + 1, "end");
        break;
      }
    }
    lfm_.Line(depth, "end");
  }

  void WriteLabelText(const FormRow& row, int depth) {
    lfm_.Word(depth, "AutoSize", "False");
    lfm_.Text(depth, "Caption", row.text);
    if ((row.style & SS_CENTER) != 0) lfm_.Word(depth, "Alignment", "taCenter");
    if ((row.style & SS_NOPREFIX) != 0) lfm_.Word(depth, "ShowAccelChar", "False");
  }

  const FormTemplate& form_;
  LfmWriter lfm_;
};

}  // namespace

const FormTemplate& ConfigTemplate() { return Config; }
const FormTemplate& AboutTemplate() { return About; }

void ControlName(const FormTemplate& form, std::size_t index, ControlNameText& name) {
  const int id = form.rows[index].id;
  if (id > 0) {
    std::snprintf(name, sizeof name, "Item%d", id);
  } else {
    std::snprintf(name, sizeof name, "Static%zu", index);
  }
}

bool ControlNameOf(const FormTemplate& form, int id, ControlNameText& name) {
  for (std::size_t i = 0; i < form.count; ++i) {
    if (form.rows[i].id == id) {
      ControlName(form, i, name);
      return true;
    }
  }
  name[0] = '\0';
  return false;
}

int ControlId(const char* name) {
  if (name == nullptr || std::strncmp(name, "Item", 4) != 0) return 0;
  int id = 0;
  for (const char* p = name + 4; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || id > 100000) return 0;
    id = id * 10 + (*p - '0');
  }
  return id;
}

Status WriteLfm(const FormTemplate& form, String& out) {
  out.Clear();
  return FormWriter(form, out).Write();
}

}  // namespace doublecmd
