#include "render_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <string_view>

namespace pixavue::app {
namespace {

// The control's window stays within the imaging layer's limits on a side
// and in total.
constexpr int kLargestSide = 16384;

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  if constexpr (std::is_floating_point_v<Number>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

std::optional<int> IntegerIn(std::string_view text, int lowest, int highest) {
  const auto value = ParseNumber<int>(text);
  if (!value || *value < lowest || *value > highest) return std::nullopt;
  return value;
}

std::optional<float> Positive(std::string_view text) {
  const auto value = ParseNumber<float>(text);
  if (!value || !(*value > 0)) return std::nullopt;
  return value;
}

// One of the nine cells of the placement grid (3 is none).
std::optional<int> GridCell(std::string_view text) {
  const auto value = IntegerIn(text, 0, 9);
  if (!value || *value == 3) return std::nullopt;
  return value;
}

bool ParseSize(std::string_view text, RenderOptions& options) {
  const std::size_t cross = text.find_first_of("xX");
  if (cross == std::string_view::npos) return false;
  const auto width = IntegerIn(text.substr(0, cross), 1, kLargestSide);
  const auto height = IntegerIn(text.substr(cross + 1), 1, kLargestSide);
  if (!width || !height) return false;
  options.width = *width;
  options.height = *height;
  return true;
}

// Four integers separated by commas; the width and height positive.
bool ParseSelection(std::string_view text, RenderOptions& options) {
  std::array<std::int32_t, 4> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t comma = i + 1 < values.size() ? text.find(',') : text.size();
    if (comma == std::string_view::npos) return false;
    const auto value = ParseNumber<std::int32_t>(text.substr(0, comma));
    if (!value || (i >= 2 && *value < 1)) return false;
    values[i] = *value;
    text.remove_prefix(std::min(comma + 1, text.size()));
  }
  options.selection = values;
  return true;
}

// Each option with a value: stores it and says whether it was valid.
using ValueReader = std::function<bool(std::string_view, RenderOptions&)>;

template <typename T>
bool Store(std::optional<T> value, std::optional<T>& field) {
  field = value;
  return value.has_value();
}

const std::map<std::string_view, ValueReader>& ValueReaders() {
  static const std::map<std::string_view, ValueReader> readers{
      {"-o", [](std::string_view v, RenderOptions& o) { return !(o.output = v).empty(); }},
      {"--size", ParseSize},
      {"--zoom-mode", [](std::string_view v, RenderOptions& o) { return Store(IntegerIn(v, 1, 6), o.zoomMode); }},
      {"--zoom", [](std::string_view v, RenderOptions& o) { return Store(Positive(v), o.zoomPercent); }},
      {"--quality", [](std::string_view v, RenderOptions& o) { return Store(IntegerIn(v, 0, 4), o.quality); }},
      {"--position", [](std::string_view v, RenderOptions& o) { return Store(GridCell(v), o.position); }},
      {"--alignment", [](std::string_view v, RenderOptions& o) { return Store(GridCell(v), o.alignment); }},
      {"--page",
       [](std::string_view v, RenderOptions& o) {
         const auto page = IntegerIn(v, 1, std::numeric_limits<int>::max());
         o.page = page.value_or(0);
         return page.has_value();
       }},
      {"--gamma", [](std::string_view v, RenderOptions& o) { return Store(Positive(v), o.gamma); }},
      {"--rotate",
       [](std::string_view v, RenderOptions& o) {
         const auto type = IntegerIn(v, 0, 7);
         o.rotate = type.value_or(0);
         return type.has_value();
       }},
      {"--select", ParseSelection},
      {"--at",
       [](std::string_view v, RenderOptions& o) {
         return Store(IntegerIn(v, 0, std::numeric_limits<int>::max()), o.atMs);
       }},
  };
  return readers;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(std::span<const std::string> args, std::string& error) {
  RenderOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto reader = ValueReaders().find(arg);
    if (reader != ValueReaders().end()) {
      if (i + 1 == args.size()) {
        error = arg + " needs a value";
        return std::nullopt;
      }
      if (!reader->second(args[++i], options)) {
        error = "bad value for " + arg + ": '" + args[i] + "'";
        return std::nullopt;
      }
    } else if (arg.starts_with("-") && arg.size() > 1) {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.input.empty()) {
      options.input = arg;
    } else {
      error = "more than one FILE: " + arg;
      return std::nullopt;
    }
  }
  if (options.input.empty())
    error = "no FILE given";
  else if (options.output.empty())
    error = "no output file given (-o OUT.png)";
  else if (options.zoomMode && options.zoomPercent)
    error = "--zoom-mode and --zoom exclude each other";
  if (!error.empty()) return std::nullopt;
  return options;
}

}  // namespace pixavue::app
