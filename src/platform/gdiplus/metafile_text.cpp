// Text of the metafile canvas with cairo's own font selection: the face is
// matched by family (serif, sans-serif, monospace), weight and slant; sizes,
// alignment, escapement, background and decorations follow the record.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "metafile_canvas.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Glyphs outside these sizes (output pixels) are not drawn: too small to
// see, or so large that rasterising them is pointless work.
constexpr double kMinGlyphPixels = 0.5;
constexpr double kMaxGlyphPixels = 4096;
// GDI's default font is about 16 device pixels high.
constexpr double kDefaultCellHeight = 16;
constexpr std::uint8_t kFixedPitch = 0x01;
constexpr std::uint8_t kFamilyRoman = 0x10;
constexpr std::uint8_t kFamilyModern = 0x30;
constexpr std::uint8_t kFamilyMask = 0xF0;
constexpr std::int32_t kBoldWeight = 600;
// Work units of a glyph on top of its area.
constexpr std::uint64_t kGlyphCost = 64;

bool Contains(const std::string& text, std::string_view word) {
  auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
  std::string folded(text.size(), ' ');
  std::transform(text.begin(), text.end(), folded.begin(), lower);
  return folded.find(word) != std::string::npos;
}

const char* FamilyOf(const Font& font) {
  for (const char* word : {"courier", "mono", "consol", "fixed", "lucida console"}) {
    if (Contains(font.face, word)) return "monospace";
  }
  for (const char* word : {"times", "serif", "roman", "georgia", "garamond", "cambria"}) {
    if (Contains(font.face, word) && !Contains(font.face, "sans")) return "serif";
  }
  if (font.face.empty()) {
    if ((font.pitchAndFamily & kFixedPitch) != 0 || (font.pitchAndFamily & kFamilyMask) == kFamilyModern) {
      return "monospace";
    }
    if ((font.pitchAndFamily & kFamilyMask) == kFamilyRoman) return "serif";
  }
  return "sans-serif";
}

PointD Along(PointD origin, PointD direction, double distance) {
  return PointD{origin.x + direction.x * distance, origin.y + direction.y * distance};
}

}  // namespace

void MetafileCanvas::TextOut(PointD reference, std::string_view utf8, std::uint32_t options, const RectD* box) {
  if (inPath_) return;
  BeginShape();
  const Transform& toOutput = shapeTransform_;
  const RectD* clip = (options & kTextClipped) != 0 ? box : nullptr;
  if (box != nullptr && (options & kTextOpaque) != 0) {
    const Brush kept = state_.brush;
    state_.brush = Brush{kBrushSolid, state_.backgroundColor, 0, nullptr};
    EmitRect(*box);
    FillCurrentPath();
    cairo_new_path(cairo_);
    state_.brush = kept;
  }
  if (utf8.empty()) return;
  const Font& font = state_.font;
  const std::string text(utf8);
  cairo_select_font_face(cairo_, FamilyOf(font), font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.weight >= kBoldWeight ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);

  // The em size: a negative height is the character height, a positive one
  // the cell height (ascent plus descent).
  cairo_set_font_size(cairo_, 1);
  cairo_font_extents_t unit;
  cairo_font_extents(cairo_, &unit);
  const double cell = unit.ascent + unit.descent > 0 ? unit.ascent + unit.descent : 1;
  double emX = 0, emY = 0;
  if (font.height == 0) {
    emY = kDefaultCellHeight / cell * ScaleY(setup_.deviceToOutput);
    emX = kDefaultCellHeight / cell * ScaleX(setup_.deviceToOutput);
  } else {
    const double em = font.height < 0 ? -font.height : font.height / cell;
    emY = em * ScaleY(toOutput);
    emX = em * ScaleX(toOutput);
  }
  if (!(emY >= kMinGlyphPixels && emY <= kMaxGlyphPixels && emX >= kMinGlyphPixels && emX <= kMaxGlyphPixels)) return;
  // The text's own save and restore copy the clip once more.
  const std::uint64_t clipWork = static_cast<std::uint64_t>(ClipPaintWork(emX * emY * double(text.size() + 1)));
  if (!Charge((static_cast<std::uint64_t>(emX * emY) + kGlyphCost) * (text.size() + 1) + 2 * clipWork)) return;

  // Measured upright, then drawn along the baseline's direction: the page's
  // x axis turned by the escapement (counter-clockwise on the output).
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, emX, emY);
  cairo_set_font_matrix(cairo_, &matrix);
  cairo_font_extents_t extents;
  cairo_font_extents(cairo_, &extents);
  cairo_text_extents_t measured;
  cairo_text_extents(cairo_, text.c_str(), &measured);
  const double angle = std::atan2(toOutput.m12, toOutput.m11) - font.escapement * std::numbers::pi / 1800;
  const PointD right{std::cos(angle), std::sin(angle)}, down{-std::sin(angle), std::cos(angle)};

  const bool useCurrentPosition = (state_.textAlign & kAlignUpdateCurrentPosition) != 0;
  PointD origin = Apply(toOutput, useCurrentPosition ? state_.position : reference);
  const double advance = measured.x_advance;
  const std::uint32_t horizontal = state_.textAlign & kAlignHorizontalMask;
  const std::uint32_t vertical = state_.textAlign & kAlignVerticalMask;
  if (horizontal == kAlignRight) origin = Along(origin, right, -advance);
  if (horizontal == kAlignCenter) origin = Along(origin, right, -advance / 2);
  if (vertical == 0) origin = Along(origin, down, extents.ascent);  // top
  if (vertical == kAlignBottom) origin = Along(origin, down, -extents.descent);
  if (useCurrentPosition && horizontal != kAlignRight && horizontal != kAlignCenter) {
    const double logicalAdvance = ScaleX(toOutput) > 0 ? advance / ScaleX(toOutput) : 0;
    state_.position.x += logicalAdvance;
  }

  cairo_save(cairo_);
  if (clip != nullptr) {
    EmitRect(*clip);
    cairo_clip(cairo_);
  }
  auto band = [&](double from, double to, ColorRef color) {
    const PointD a = Along(origin, down, from), b = Along(a, right, advance);
    cairo_move_to(cairo_, a.x, a.y);
    cairo_line_to(cairo_, b.x, b.y);
    cairo_line_to(cairo_, b.x + down.x * (to - from), b.y + down.y * (to - from));
    cairo_line_to(cairo_, a.x + down.x * (to - from), a.y + down.y * (to - from));
    cairo_close_path(cairo_);
    SetSourceColor(color);
    cairo_fill(cairo_);
  };
  if (state_.backgroundMode == kBackgroundOpaque) band(-extents.ascent, extents.descent, state_.backgroundColor);

  cairo_matrix_init(&matrix, emX * right.x, emX * right.y, emY * down.x, emY * down.y, 0, 0);
  cairo_set_font_matrix(cairo_, &matrix);
  SetSourceColor(state_.textColor);
  cairo_move_to(cairo_, origin.x, origin.y);
  cairo_show_text(cairo_, text.c_str());
  cairo_new_path(cairo_);
  const double thickness = std::max(1.0, emY / 14);
  if (font.underline) band(extents.descent / 2 - thickness / 2, extents.descent / 2 + thickness / 2, state_.textColor);
  if (font.strikeOut) band(-extents.ascent / 3 - thickness / 2, -extents.ascent / 3 + thickness / 2, state_.textColor);
  cairo_restore(cairo_);
  cairo_new_path(cairo_);
}

}  // namespace pixavue::platform::gdiplus::metafile
