#pragma once
// Small helpers for driving IStream in tests.

#include <pixavue/platform/ole/stream.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pixavue::platform::testing {

inline void WriteText(IStream& stream, const std::string& text) {
  ULONG written = 0;
  ASSERT_EQ(stream.Write(text.data(), static_cast<ULONG>(text.size()), &written), S_OK);
  ASSERT_EQ(written, text.size());
}

inline std::string ReadText(IStream& stream, ULONG count) {
  std::string text(count, '\0');
  ULONG read = 0;
  EXPECT_EQ(stream.Read(text.data(), count, &read), S_OK);
  text.resize(read);
  return text;
}

inline std::uint64_t SeekTo(IStream& stream, std::int64_t move, DWORD origin) {
  std::uint64_t position = ~std::uint64_t{0};
  EXPECT_EQ(stream.Seek(move, origin, &position), S_OK);
  return position;
}

inline std::uint64_t SizeOf(IStream& stream) {
  STATSTG stat;
  EXPECT_EQ(stream.Stat(&stat, STATFLAG_NONAME), S_OK);
  return stat.cbSize;
}

}  // namespace pixavue::platform::testing
