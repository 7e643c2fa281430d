#include <pixavue/platform/ole/utf8.h>

namespace pixavue::platform {
namespace {

struct LeadByte {
  std::size_t length;
  unsigned char secondMin;  // the second byte's range depends on the lead
  unsigned char secondMax;
};

// Well-formed sequences as tabulated in the Unicode standard (table 3-7).
LeadByte Classify(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) noexcept {
  if (at >= text.size()) return 0;
  const LeadByte lead = Classify(static_cast<unsigned char>(text[at]));
  if (lead.length <= 1) return lead.length;
  if (text.size() - at < lead.length) return 0;
  const auto second = static_cast<unsigned char>(text[at + 1]);
  if (second < lead.secondMin || second > lead.secondMax) return 0;
  for (std::size_t i = 2; i < lead.length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) return 0;
  }
  return lead.length;
}

}  // namespace pixavue::platform
