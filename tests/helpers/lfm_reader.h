// A reader of Lazarus form text (LFM), written apart from the plug-in's
// writer: objects with their class, properties and child objects.
#pragma once

#include <map>
#include <string>
#include <vector>

struct LfmValue {
  enum class Kind { Number, String, Identifier, Set, List };
  Kind kind = Kind::Identifier;
  std::string text;  // a string's characters, unquoted; a number, identifier or set as written
};

struct LfmObject {
  std::string name;
  std::string className;
  std::map<std::string, LfmValue> properties;
  std::vector<LfmObject> children;

  // This object or one below it by name; null when there is none.
  const LfmObject* Find(const std::string& objectName) const;
  // Every object below this one, depth first, in the order of the text.
  std::vector<const LfmObject*> Descendants() const;
  bool Has(const std::string& key) const { return properties.count(key) != 0; }
  // A property's text, or `fallback` without it.
  std::string Text(const std::string& key, const std::string& fallback = "") const;
  // A number property, or `fallback` without it.
  long Number(const std::string& key, long fallback = 0) const;
};

// Reads the text; false, with the reason in `error`, when it is no form.
bool ReadLfm(const std::string& text, LfmObject& root, std::string& error);
