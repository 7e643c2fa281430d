#include <pixavue/platform/shell/file_version.h>

#include <gtest/gtest.h>
#include <gmock/gmock.h>

namespace pixavue::platform {
namespace {

TEST(FileVersionFromFileNameTest, ReadsTheNumbersAfterSo) {
  EXPECT_EQ(FileVersionFromFileName("libpng16.so.16.39.0"), "16.39.0.0");
  EXPECT_EQ(FileVersionFromFileName("/usr/lib/x86_64-linux-gnu/libpng16.so.16.39.0"), "16.39.0.0");
  EXPECT_EQ(FileVersionFromFileName("libc.so.6"), "6.0.0.0");
  EXPECT_EQ(FileVersionFromFileName("libx.so.1.2.3.4.5.6"), "1.2.3.4");
  EXPECT_EQ(FileVersionFromFileName("libx.so.65535.0.007"), "65535.0.7.0");
}

TEST(FileVersionFromFileNameTest, NamesWithoutVersionAreUnknown) {
  for (const char* name : {"libfoo.so", "libfoo", "", "/usr/lib/", "lib.so.1/libfoo.so", "libso.6"}) {
    EXPECT_EQ(FileVersionFromFileName(name), "Unknown") << name;
  }
}

TEST(FileVersionFromFileNameTest, UnrepresentableVersionsAreUndefined) {
  for (const char* name : {"libfoo.so.1.2a", "libfoo.so.", "libfoo.so.1..2", "libfoo.so.1.", "libfoo.so.65536",
                           "libfoo.so.1.2.3.4.x", "libfoo.so.-1", "libfoo.so.+1", "libfoo.so.1.so.2",
                           "libfoo.so.99999999999999999999999"}) {
    EXPECT_EQ(FileVersionFromFileName(name), "Undefined") << name;
  }
}

// The probe libraries are built next to the tests: one with the usual chain
// of links libprobe.so -> libprobe.so.3 -> libprobe.so.3.14.15.9265.
TEST(FileVersionStringTest, FollowsLinksToTheVersionedFile) {
  EXPECT_EQ(FileVersionString(PIXAVUE_VERSIONED_PROBE), "3.14.15.9265");
  EXPECT_EQ(FileVersionString(PIXAVUE_UNVERSIONED_PROBE), "Unknown");
}

TEST(FileVersionStringTest, FindsSystemLibrariesByName) {
  EXPECT_THAT(FileVersionString("libstdc++.so.6"), testing::MatchesRegex("6\\.0\\.[0-9]+\\.0"));
  EXPECT_THAT(FileVersionString("libm.so.6"), testing::MatchesRegex("6(\\.[0-9]+){3}"));
}

TEST(FileVersionStringTest, WhatCannotBeLoadedIsUnknown) {
  EXPECT_EQ(FileVersionString("libpixavue-no-such-library.so.1"), "Unknown");
  EXPECT_EQ(FileVersionString(""), "Unknown");
  EXPECT_EQ(FileVersionString(std::string_view("libm.so.6\0x", 11)), "Unknown");
  EXPECT_EQ(FileVersionString("/"), "Unknown");
  EXPECT_EQ(FileVersionString(PIXAVUE_TEST_SOURCE), "Unknown");  // not a library
}

}  // namespace
}  // namespace pixavue::platform
