// libFuzzer target for the property-bag text reader. Built by the fuzz preset
// (clang): `cmake --workflow --preset fuzz` builds it and runs it briefly as a
// test; for a longer run:
//
//   ./build/fuzz/fuzz/property_bag_text_fuzz -max_len=4096 -max_total_time=600
//
// Besides crashes, leaks and undefined behaviour it checks that whatever the
// reader accepts is written back as text that reads to the same bag, and that
// a refused text leaves the bag untouched.

#include <pixavue/platform/ole/property_bag_text.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace pixavue::platform;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string FormatOrAbort(const MemoryPropertyBag& bag) {
  std::string text;
  Check(SUCCEEDED(FormatPropertyBagText(bag, text)));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  MemoryPropertyBag bag;
  Check(bag.Write("Sentinel", Variant::FromInt32(1)) == S_OK);

  PropertyBagTextError error;
  if (FAILED(ParsePropertyBagText(text, bag, &error))) {
    Check(bag.Count() == 1 && bag.Contains("Sentinel"));
    Check(error.line > 0 || text.size() > kMaxPropertyBagTextBytes);
    return 0;
  }
  // Written text is canonical: reading and writing it again changes nothing.
  const std::string written = FormatOrAbort(bag);
  MemoryPropertyBag reread;
  Check(ParsePropertyBagText(written, reread) == S_OK);
  Check(reread.Count() == bag.Count());
  Check(FormatOrAbort(reread) == written);
  return 0;
}
