#pragma once
// The arguments of `pixavue render`, read and checked before anything is
// loaded.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pixavue::app {

inline constexpr const char* kRenderUsage =
    "usage: pixavue render FILE -o OUT.png [--size WxH] [--zoom-mode N | --zoom PERCENT] [--quality N]\n"
    "                      [--position N] [--alignment N] [--page N] [--gamma G]\n"
    "                      [--select L,T,W,H] [--at MS] [--rotate N]\n";

struct RenderOptions {
  std::string input;
  std::string output;
  int width = 800;
  int height = 600;
  std::optional<int> zoomMode;       // 1 to 6
  std::optional<float> zoomPercent;  // > 0
  std::optional<int> quality;        // 0 to 4
  std::optional<int> position;       // 0 to 9, 3 excepted
  std::optional<int> alignment;      // 0 to 9, 3 excepted
  int page = 1;                      // 1-based; its upper limit is the image's
  std::optional<float> gamma;        // > 0
  // A selection rectangle in image pixels (width and height > 0), and the
  // virtual time an animation has played when the view is saved.
  std::optional<std::array<std::int32_t, 4>> selection;
  std::optional<std::int32_t> atMs;  // >= 0
  int rotate = 0;                    // a rotate-flip type, 0 to 7, applied after the load
};

// The options, or nullopt with a one-line reason in `error`.
std::optional<RenderOptions> ParseRenderOptions(std::span<const std::string> args, std::string& error);

}  // namespace pixavue::app
