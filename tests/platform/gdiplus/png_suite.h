#pragma once
// Access to the PngSuite corpus for the PNG and BMP suites: the file list
// and the expected pixels stored beside each image as a JSON number array.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {

inline std::filesystem::path PngSuiteDir() { return CorporaDir() / "pngsuite"; }

// Stems of pngsuite/png/*.png, sorted (x* names are the corrupt ones).
inline std::vector<std::string> PngSuiteNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(PngSuiteDir() / "png", error)) {
    if (entry.path().extension() == ".png") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every unsigned integer of a flat JSON array such as "[1, 2, 3]". The
// corpus holds nothing else, so any other character just separates numbers.
inline std::vector<std::uint32_t> ReadJsonNumbers(const std::filesystem::path& path) {
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::uint32_t> numbers;
  std::uint32_t value = 0;
  bool inNumber = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      value = value * 10 + static_cast<std::uint32_t>(c - '0');
      inNumber = true;
    } else if (inNumber) {
      numbers.push_back(value);
      value = 0;
      inNumber = false;
    }
  }
  if (inNumber) numbers.push_back(value);
  return numbers;
}

// Expected [r, g, b, a] samples as ARGB pixels (8-bit arrays only).
inline std::vector<ARGB> JsonArgbPixels(const std::vector<std::uint32_t>& samples) {
  std::vector<ARGB> pixels(samples.size() / 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t* s = &samples[4 * i];
    pixels[i] = (s[3] << 24) | (s[0] << 16) | (s[1] << 8) | s[2];
  }
  return pixels;
}

}  // namespace pixavue::platform::test
