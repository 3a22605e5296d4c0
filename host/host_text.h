// The host tool keeps its text in UTF-8 on every system, and converts it to
// what each call takes: UTF-16 for the plug-in's wide entry points and for
// Windows, the ANSI code page for the plug-in's ANSI ones.
#pragma once

#include <filesystem>
#include <string>

#include "plugin/plugin_api.h"

using WideString = std::basic_string<WCHAR>;

WideString WideOf(const std::string& utf8);
std::string Utf8Of(const WCHAR* wide);

// The ANSI code page on Windows, where a character it lacks becomes "?", as
// Total Commander passes it; UTF-8 itself elsewhere.
std::string AnsiOf(const std::string& utf8);
// Into `utf8`, whose memory serves name after name.
void Utf8OfAnsi(const char* ansi, std::string& utf8);

std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);
