#include "helpers/lfm_reader.h"

#include <cctype>
#include <cstdlib>

namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool Object(LfmObject& object) {
    if (!Keyword("object")) return Fail("expected \"object\"");
    if (!Name(object.name) || !Expect(':') || !Name(object.className)) return Fail("expected \"Name: TClass\"");
    for (;;) {
      SkipSpace();
      if (AtWord("end")) {
        Keyword("end");
        return true;
      }
      if (AtWord("object")) {
        object.children.emplace_back();
        if (!Object(object.children.back())) return false;
        continue;
      }
      std::string key;
      if (!DottedName(key)) return Fail("expected a property, an object or \"end\"");
      if (!Expect('=')) return Fail("expected '=' after " + key);
      LfmValue value;
      if (!Value(value)) return Fail("bad value of " + key);
      if (object.properties.count(key) != 0) return Fail("property " + key + " twice in " + object.name);
      object.properties[key] = value;
    }
  }

  bool AtEnd() {
    SkipSpace();
    return at_ == text_.size();
  }

  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = what + " at offset " + std::to_string(at_);
    return false;
  }

  void SkipSpace() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }

  bool AtWord(const char* word) {
    SkipSpace();
    std::size_t i = at_;
    for (const char* p = word; *p != '\0'; ++p, ++i) {
      if (i >= text_.size() || std::tolower(static_cast<unsigned char>(text_[i])) != *p) return false;
    }
    return i == text_.size() || !IsNameChar(text_[i]);
  }

  bool Keyword(const char* word) {
    if (!AtWord(word)) return false;
    at_ += std::char_traits<char>::length(word);
    return true;
  }

  static bool IsNameChar(char ch) { return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_'; }

  bool Name(std::string& name) {
    SkipSpace();
    const std::size_t start = at_;
    if (at_ >= text_.size() || std::isdigit(static_cast<unsigned char>(text_[at_]))) return false;
    while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
    name = text_.substr(start, at_ - start);
    return !name.empty();
  }

  bool DottedName(std::string& name) {
    if (!Name(name)) return false;
    while (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      std::string part;
      if (!Name(part)) return false;
      name += "." + part;
    }
    return true;
  }

  bool Expect(char ch) {
    SkipSpace();
    if (at_ >= text_.size() || text_[at_] != ch) return false;
    ++at_;
    return true;
  }

  bool Value(LfmValue& value) {
    SkipSpace();
    if (at_ >= text_.size()) return false;
    const char ch = text_[at_];
    if (ch == '\'' || ch == '#') {
      value.kind = LfmValue::Kind::String;
      return String(value.text);
    }
    if (ch == '-' || std::isdigit(static_cast<unsigned char>(ch))) {
      value.kind = LfmValue::Kind::Number;
      const std::size_t start = at_++;
      while (at_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '.')) ++at_;
      value.text = text_.substr(start, at_ - start);
      return value.text != "-";
    }
    if (ch == '[') {
      value.kind = LfmValue::Kind::Set;
      const std::size_t end = text_.find(']', at_);
      if (end == std::string::npos) return false;
      value.text = text_.substr(at_, end + 1 - at_);
      at_ = end + 1;
      return true;
    }
    if (ch == '(') {
      // A list of strings, each item one value.
      value.kind = LfmValue::Kind::List;
      ++at_;
      for (;;) {
        SkipSpace();
        if (Expect(')')) return true;
        LfmValue item;
        if (!Value(item)) return false;
        value.text += item.text + "\n";
      }
    }
    value.kind = LfmValue::Kind::Identifier;
    return DottedName(value.text);
  }

  // Quoted runs and #<code> characters, joined by '+' across lines.
  bool String(std::string& out) {
    for (;;) {
      bool any = false;
      while (at_ < text_.size()) {
        if (text_[at_] == '\'') {
          ++at_;
          for (;;) {
            if (at_ >= text_.size() || text_[at_] == '\n') return false;
            if (text_[at_] == '\'') {
              if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
                out += '\'';
                at_ += 2;
                continue;
              }
              ++at_;
              break;
            }
            out += text_[at_++];
          }
          any = true;
        } else if (text_[at_] == '#') {
          ++at_;
          const std::size_t start = at_;
          while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
          if (at_ == start) return false;
          out += static_cast<char>(std::atoi(text_.substr(start, at_ - start).c_str()));
          any = true;
        } else {
          break;
        }
      }
      if (!any) return false;
      const std::size_t before = at_;
      SkipSpace();
      if (at_ < text_.size() && text_[at_] == '+') {
        ++at_;
        SkipSpace();
        continue;
      }
      at_ = before;
      return true;
    }
  }

  const std::string& text_;
  std::size_t at_ = 0;
  std::string error_;
};

void Collect(const LfmObject& object, std::vector<const LfmObject*>& out) {
  for (const LfmObject& child : object.children) {
    out.push_back(&child);
    Collect(child, out);
  }
}

}  // namespace

const LfmObject* LfmObject::Find(const std::string& objectName) const {
  if (name == objectName) return this;
  for (const LfmObject& child : children) {
    if (const LfmObject* found = child.Find(objectName)) return found;
  }
  return nullptr;
}

std::vector<const LfmObject*> LfmObject::Descendants() const {
  std::vector<const LfmObject*> all;
  Collect(*this, all);
  return all;
}

std::string LfmObject::Text(const std::string& key, const std::string& fallback) const {
  const auto found = properties.find(key);
  return found != properties.end() ? found->second.text : fallback;
}

long LfmObject::Number(const std::string& key, long fallback) const {
  const auto found = properties.find(key);
  if (found == properties.end() || found->second.kind != LfmValue::Kind::Number) return fallback;
  return std::strtol(found->second.text.c_str(), nullptr, 10);
}

bool ReadLfm(const std::string& text, LfmObject& root, std::string& error) {
  Reader reader(text);
  root = LfmObject{};
  if (!reader.Object(root)) {
    error = reader.Error();
    return false;
  }
  if (!reader.AtEnd()) {
    error = "text after the form's end";
    return false;
  }
  return true;
}
