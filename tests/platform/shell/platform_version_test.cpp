#include <pixavue/platform/shell/platform_version.h>

#include <gtest/gtest.h>

namespace pixavue::platform {
namespace {

TEST(PlatformVersionTest, ParsesKernelReleaseTexts) {
  const struct {
    const char* release;
    std::optional<PlatformVersion> expected;
  } cases[] = {
      {"6.1.0-18-amd64", PlatformVersion{6, 1}},
      {"4.19.0", PlatformVersion{4, 19}},
      {"10.0-rc1", PlatformVersion{10, 0}},
      {"5", PlatformVersion{5, 0}},
      {"6.", PlatformVersion{6, 0}},
      {"6.x", PlatformVersion{6, 0}},
      {"5.15+deb", PlatformVersion{5, 15}},
      {"4.05", PlatformVersion{4, 5}},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {" 6.1", std::nullopt},
      {"-6.1", std::nullopt},
      {".1", std::nullopt},
      {"1000000.1", std::nullopt},
      {"6.99999999999999999999", std::nullopt},
  };
  for (const auto& testCase : cases) {
    EXPECT_EQ(ParsePlatformVersion(testCase.release), testCase.expected) << '"' << testCase.release << '"';
  }
}

TEST(PlatformVersionTest, NumberTakesTheMinorDigitsAsFraction) {
  EXPECT_EQ(PlatformVersionNumber({6, 1}), 6.1f);
  EXPECT_EQ(PlatformVersionNumber({4, 19}), 4.19f);
  EXPECT_EQ(PlatformVersionNumber({10, 0}), 10.0f);
  EXPECT_EQ(PlatformVersionNumber({5, 10}), 5.1f);  // as the text "5.10" reads
  EXPECT_EQ(PlatformVersionNumber({3, 123456}), 3.123456f);
  EXPECT_EQ(PlatformVersionNumber({-1, 2}), 0.0f);
}

TEST(PlatformVersionTest, RunningKernelIsRead) {
  const PlatformVersion current = CurrentPlatformVersion();
  EXPECT_GE(current.major, 2);
  EXPECT_GT(PlatformVersionNumber(current), 2.0f);
}

}  // namespace
}  // namespace pixavue::platform
