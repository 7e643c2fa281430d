#include "metafile_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Windows code pages of the font character sets.
const char* EncodingOf(std::uint8_t charset) {
  switch (charset) {
    case 77: return "MACINTOSH";
    case 128: return "CP932";
    case 129: return "CP949";
    case 134: return "CP936";
    case 136: return "CP950";
    case 161: return "CP1253";
    case 162: return "CP1254";
    case 163: return "CP1258";
    case 177: return "CP1255";
    case 178: return "CP1256";
    case 186: return "CP1257";
    case 204: return "CP1251";
    case 222: return "CP874";
    case 238: return "CP1250";
    case 255: return "CP437";
    default: return "CP1252";
  }
}

class Converter final {
 public:
  explicit Converter(const char* from) : handle_(iconv_open("UTF-8", from)) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `bytes`; an input sequence that does not convert skips
  // `unit` bytes and adds '?'.
  std::string Convert(std::span<const std::uint8_t> bytes, std::size_t unit) {
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t left = bytes.size();
    while (left > 0) {
      char* write = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t result = iconv(handle_, &in, &left, &write, &room);
      out.append(buffer, static_cast<std::size_t>(write - buffer));
      if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // An invalid or incomplete sequence.
      const std::size_t skip = left < unit ? left : unit;
      in += skip;
      left -= skip;
      out += '?';
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t handle_;
};

std::string WithoutNuls(std::string text) {
  std::erase(text, '\0');
  return text;
}

// Without a converter: ASCII as it is, anything else '?'.
std::string AsciiOnly(std::span<const std::uint8_t> bytes, std::size_t unit) {
  std::string out;
  for (std::size_t i = 0; i + unit <= bytes.size(); i += unit) {
    const bool ascii = bytes[i] < 0x80 && (unit == 1 || bytes[i + 1] == 0);
    out += ascii ? static_cast<char>(bytes[i]) : '?';
  }
  return out;
}

std::string ConvertFrom(const char* encoding, std::span<const std::uint8_t> bytes, std::size_t unit) {
  Converter converter(encoding);
  return WithoutNuls(converter.valid() ? converter.Convert(bytes, unit) : AsciiOnly(bytes, unit));
}

}  // namespace

std::string TextFromCharset(std::span<const std::uint8_t> bytes, std::uint8_t charset) {
  return ConvertFrom(EncodingOf(charset), bytes, 1);
}

std::string TextFromUtf16(std::span<const std::uint8_t> bytes) {
  return ConvertFrom("UTF-16LE", bytes.first(bytes.size() / 2 * 2), 2);
}

}  // namespace pixavue::platform::gdiplus::metafile
