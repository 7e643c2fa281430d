#include <pixavue/platform/shell/number_format.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include <unistd.h>

#include "scoped_environment.h"

// glibc's newlocale keeps its parsed copy of LOCPATH and never frees it. Only
// these tests set LOCPATH, so the leak checker of sanitizer builds is told to
// ignore exactly that allocation.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

namespace pixavue::platform {
namespace {

TEST(FormatDoubleTest, BehavesLikePercentPoint15G) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {28.0 / 10, "2.8"},      {72.0, "72"},       {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
      {1e20, "1E+20"},         {1e-7, "1E-07"},    {-0.5, "-0.5"},                 {0.0, "0"},
      {-0.0, "0"},             {0.1 + 0.2, "0.3"}, {1234567.5, "1234567.5"},       {123456789012345.0, "123456789012345"},
      {1e15, "1E+15"},         {0.0001, "0.0001"}, {0.00001, "1E-05"},             {-2.5e-300, "-2.5E-300"},
      {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
  };
  for (const auto& testCase : cases) EXPECT_EQ(FormatDouble(testCase.value, "."), testCase.text);
}

TEST(FormatDoubleTest, UsesTheGivenSeparator) {
  EXPECT_EQ(FormatDouble(2.8, ","), "2,8");
  EXPECT_EQ(FormatDouble(72.0, ","), "72");
  EXPECT_EQ(FormatDouble(-1.5e-7, ","), "-1,5E-07");
  EXPECT_EQ(FormatDouble(2.8, "\xD9\xAB"), "2\xD9\xAB" "8");
  EXPECT_EQ(FormatDouble(2.8, ""), "2.8");
}

TEST(FormatDoubleTest, SpecialValuesHaveFixedTexts) {
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::infinity(), ","), "Infinity");
  EXPECT_EQ(FormatDouble(-std::numeric_limits<double>::infinity(), ","), "-Infinity");
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::quiet_NaN(), ","), "NaN");
  EXPECT_EQ(FormatDouble(-std::numeric_limits<double>::quiet_NaN(), ","), "NaN");
}

// Compiles a locale whose decimal separator is a comma into a private folder
// (LOCPATH); skips when the system cannot compile locales.
class CommaLocaleTest : public testing::Test {
 protected:
  static constexpr const char* kName = "pxv_comma";

  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("pixavue-locale-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "source") << "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                                         "grouping 3\nEND LC_NUMERIC\n";
    const std::string command = "localedef -c -i '" + (folder_ / "source").string() + "' '" +
                                (folder_ / kName).string() + "' >/dev/null 2>&1";
    [[maybe_unused]] const int status = std::system(command.c_str());  // warns about the missing categories
    environment_.Set("LOCPATH", folder_.string());
    if (DecimalSeparatorOfLocale(kName) != ",") GTEST_SKIP() << "localedef cannot build a test locale here";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  ScopedEnvironment environment_;
};

TEST_F(CommaLocaleTest, EnvironmentChoosesTheSeparator) {
  environment_.UnsetAnyCase("LC_ALL");
  environment_.Set("LC_NUMERIC", kName);
  EXPECT_EQ(DecimalSeparatorOfLocale(""), ",");
  environment_.Set("LC_ALL", "C");
  EXPECT_EQ(DecimalSeparatorOfLocale(""), ".");
  environment_.Set("LC_ALL", "pxv_no_such_locale");
  EXPECT_EQ(DecimalSeparatorOfLocale(""), ".");
  EXPECT_EQ(DecimalSeparatorOfLocale(nullptr), ".");
}

// The user's separator is read once per process, so this runs in a new one.
TEST_F(CommaLocaleTest, UserFormatFollowsTheEnvironmentWithoutTouchingTheGlobalLocale) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  environment_.Set("LC_ALL", kName);
  EXPECT_EXIT(
      {
        const bool comma = FormatDoubleForUser(28.0 / 10) == "2,8";
        const bool globalUntouched = std::string(std::setlocale(LC_NUMERIC, nullptr)) == "C";
        std::filesystem::remove_all(folder_);  // this process ends here, without TearDown
        std::exit(comma && globalUntouched ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace pixavue::platform
