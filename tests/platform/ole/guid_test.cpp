#include <pixavue/platform/ole/guid.h>
#include <pixavue/platform/ole/object_safety.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <type_traits>

namespace pixavue::platform {
namespace {

static_assert(std::is_abstract_v<IObjectSafety> && std::has_virtual_destructor_v<IObjectSafety>);

// Every byte differs, so a swapped field or byte shows up in the text.
constexpr GUID kDistinct{0x01234567, 0x89AB, 0xCDEF, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}};
constexpr const char* kDistinctText = "{01234567-89AB-CDEF-1032-547698BADCFE}";

TEST(GuidText, WellKnownInterfacesHaveTheirRegistryText) {
  EXPECT_EQ(GuidToString(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
  EXPECT_EQ(GuidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
  EXPECT_EQ(GuidToString(IID_IPersistStorage), "{0000010A-0000-0000-C000-000000000046}");
  EXPECT_EQ(GuidToString(IID_IPersistStream), "{00000109-0000-0000-C000-000000000046}");
  EXPECT_EQ(GuidToString(IID_IPersistPropertyBag), "{37D84F60-42CB-11CE-8135-00AA004BB851}");
  EXPECT_EQ(GuidToString(IID_IOleObject), "{00000112-0000-0000-C000-000000000046}");
  EXPECT_EQ(GuidToString(kDistinct), kDistinctText);
}

TEST(GuidText, StringFromGuid2NeedsRoomForTheTerminator) {
  char16_t buffer[40];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(StringFromGUID2(kDistinct, buffer, 38), 0);
  EXPECT_EQ(buffer[0], u'#') << "nothing may be written into a short buffer";
  EXPECT_EQ(StringFromGUID2(kDistinct, nullptr, 40), 0);

  ASSERT_EQ(StringFromGUID2(kDistinct, buffer, 39), 39);
  EXPECT_EQ(buffer[38], u'\0');
  EXPECT_EQ(buffer[39], u'#');
  const std::u16string text(buffer);
  EXPECT_EQ(std::string(text.begin(), text.end()), kDistinctText);
}

TEST(GuidText, ParsesEitherCaseBackToTheSameGuid) {
  EXPECT_EQ(ParseGuid(kDistinctText), kDistinct);
  EXPECT_EQ(ParseGuid("{01234567-89ab-cdef-1032-547698badcfe}"), kDistinct);
  GUID parsed{};
  EXPECT_EQ(CLSIDFromString("{37d84f60-42cb-11ce-8135-00aa004bb851}", &parsed), S_OK);
  EXPECT_EQ(parsed, IID_IPersistPropertyBag);
}

TEST(GuidText, RefusesEverythingButTheBracedForm) {
  const char* refused[] = {
      "",
      "01234567-89AB-CDEF-1032-547698BADCFE",      // no braces
      "(01234567-89AB-CDEF-1032-547698BADCFE)",    // other brackets
      "{01234567-89AB-CDEF-1032-547698BADCFE",     // one brace
      "{01234567-89AB-CDEF-1032-547698BADCFE}x",   // trailing text
      " {01234567-89AB-CDEF-1032-547698BADCFE}",   // leading blank
      "{0123456-789AB-CDEF-1032-547698BADCFE}",    // dash moved
      "{01234567-89AB-CDEF-1032-547698BADCFG}",    // not hex
      "{01234567-89AB-CDEF-1032+547698BADCFE}",    // not a dash
      "{0123456789ABCDEF1032547698BADCFE}",        // no dashes
      "{01234567-89AB-CDEF-1032-547698BADCFE0}",   // one digit too many
  };
  for (const char* text : refused) {
    GUID parsed = kDistinct;
    EXPECT_EQ(CLSIDFromString(text, &parsed), CO_E_CLASSSTRING) << text;
    EXPECT_EQ(parsed, GUID_NULL) << text;
    EXPECT_FALSE(ParseGuid(text)) << text;
  }
  EXPECT_EQ(CLSIDFromString(kDistinctText, nullptr), E_POINTER);
}

}  // namespace
}  // namespace pixavue::platform
