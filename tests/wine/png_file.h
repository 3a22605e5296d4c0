// Screenshots are kept as PNG files, which any viewer shows. Written without
// compression: they are few, small, and only looked at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes `rgb` (width * height pixels, 3 bytes each, rows from the top) to `path`.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
