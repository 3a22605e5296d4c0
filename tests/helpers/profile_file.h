// Doved.cfg as a test writes and reads it, by its own means: key lines of
// one section in the file's text, so that the plug-in's reading and writing
// are checked against a second reading of the format.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Bytes in the profile-struct form: two upper-case hex digits each, then
// their sum modulo 256.
std::string StructText(const void* bytes, std::size_t size);
// A text field of `size` bytes in that form: the text, then NULs.
std::string FieldText(const std::string& text, std::size_t size);

// Sets `key=value` in the section, after its last key, making the file and
// the section when they are missing.
void StoreProfileKey(const std::string& path, const std::string& key, const std::string& value,
                     const std::string& section = "Doved");
// The value of `key` in the section, as the file spells it.
std::optional<std::string> StoredProfileValue(const std::string& path, const std::string& key,
                                              const std::string& section = "Doved");
