#include <pixavue/support/code_page_1252.h>

#include <gtest/gtest.h>

#include <string>

namespace pixavue {
namespace {

TEST(CodePage1252, EveryByteComesBackFromItsCodePageCharacterAndFromItsWidenedCharacter) {
  // The characters of 0x80 to 0x9F that the code page defines.
  const std::u16string special = u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152"
                                 u"\u017D\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A"
                                 u"\u0153\u017E\u0178";
  const std::string specialBytes = ToCodePage1252(special);
  ASSERT_EQ(specialBytes.size(), special.size());
  const std::string expected = "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97"
                               "\x98\x99\x9A\x9B\x9C\x9E\x9F";
  EXPECT_EQ(specialBytes, expected);

  std::u16string widened;
  for (int b = 0; b < 256; ++b) widened.push_back(static_cast<char16_t>(b));
  const std::string bytes = ToCodePage1252(widened);
  ASSERT_EQ(bytes.size(), 256u);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(static_cast<unsigned char>(bytes[b]), b) << b;
}

TEST(CodePage1252, CharactersOutsideTheCodePageBecomeQuestionMarksOneByteEach) {
  EXPECT_EQ(ToCodePage1252(u"a\u0100\u4E2D\U0001F600z"), "a???" "?z");  // the emoji is two units
  EXPECT_EQ(ToCodePage1252(u""), "");
}

}  // namespace
}  // namespace pixavue
