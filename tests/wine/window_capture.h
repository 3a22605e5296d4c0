// A screenshot of one window, as the user sees it, saved as a PNG file.
#pragma once

#include <windows.h>

#include <string>

bool CaptureWindow(HWND window, const std::string& path);
