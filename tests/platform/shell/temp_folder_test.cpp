#include <pixavue/platform/shell/environment.h>
#include <pixavue/platform/shell/temp_folder.h>

#include <gtest/gtest.h>

#include "scoped_environment.h"

namespace pixavue::platform {
namespace {

TEST(EnvironmentTest, ExactNameWinsOverOtherSpellings) {
  ScopedEnvironment environment;
  environment.UnsetAnyCase("pxv_case");
  environment.Set("PXV_CASE", "upper");
  EXPECT_EQ(GetEnvironmentVariable("pxv_case"), "upper");
  EXPECT_EQ(GetEnvironmentVariable("Pxv_Case"), "upper");
  environment.Set("pxv_case", "exact");
  EXPECT_EQ(GetEnvironmentVariable("pxv_case"), "exact");
}

TEST(EnvironmentTest, EmptyValuesCountAsUnset) {
  ScopedEnvironment environment;
  environment.UnsetAnyCase("pxv_empty");
  environment.Set("pxv_empty", "");
  EXPECT_EQ(GetEnvironmentVariable("pxv_empty"), std::nullopt);
  environment.Set("PXV_EMPTY", "found");
  EXPECT_EQ(GetEnvironmentVariable("pxv_empty"), "found");
}

TEST(EnvironmentTest, MalformedNamesFindNothing) {
  ScopedEnvironment environment;
  environment.Set("PXV_A", "x");
  EXPECT_EQ(GetEnvironmentVariable(""), std::nullopt);
  EXPECT_EQ(GetEnvironmentVariable("PXV_A=x"), std::nullopt);
  EXPECT_EQ(GetEnvironmentVariable(std::string_view("PXV_A\0b", 7)), std::nullopt);
}

class TempFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    environment_.UnsetAnyCase("tmp");
    environment_.UnsetAnyCase("temp");
    environment_.UnsetAnyCase("TMPDIR");
  }
  ScopedEnvironment environment_;
};

TEST_F(TempFolderTest, TmpComesBeforeTemp) {
  environment_.Set("TEMP", "/second");
  EXPECT_EQ(TempFolder(), "/second/");
  environment_.Set("Tmp", "/first");
  EXPECT_EQ(TempFolder(), "/first/");
  environment_.Set("Tmp", "");
  EXPECT_EQ(TempFolder(), "/second/");
}

TEST_F(TempFolderTest, SlashIsAppendedOnlyWhenMissing) {
  environment_.Set("tmp", "/scratch/");
  EXPECT_EQ(TempFolder(), "/scratch/");
  environment_.Set("tmp", "relative");
  EXPECT_EQ(TempFolder(), "relative/");
}

TEST_F(TempFolderTest, FallsBackToTheSystemFolder) {
  EXPECT_EQ(TempFolder(), "/tmp/");
  environment_.Set("TMPDIR", "/var/tmp");
  EXPECT_EQ(TempFolder(), "/var/tmp/");
  // The system's variable is not looked up ignoring case.
  environment_.UnsetAnyCase("TMPDIR");
  environment_.Set("tmpdir", "/elsewhere");
  EXPECT_EQ(TempFolder(), "/tmp/");
}

}  // namespace
}  // namespace pixavue::platform
