#include <pixavue/platform/gdi/file_replacement.h>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pixavue::platform {
namespace {

namespace fs = std::filesystem;

class FileReplacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pixavue-replace-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    previousUmask_ = ::umask(022);
  }
  void TearDown() override {
    ::umask(previousUmask_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path At(const std::string& name) const { return folder_ / name; }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static void Write(const fs::path& path, const std::string& content, mode_t bits) {
    std::ofstream(path, std::ios::binary) << content;
    ASSERT_EQ(::chmod(path.c_str(), bits), 0);
  }
  // The node's own type and bits, without following a link.
  static mode_t NodeMode(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
  }

  fs::path folder_;
  mode_t previousUmask_ = 0;
};

TEST_F(FileReplacementTest, ANewFileGetsTheContentAndTheUmasksBitsWithNothingLeftBeside) {
  for (const mode_t mask : {022, 077, 002}) {
    ::umask(mask);
    const fs::path target = At("new-" + std::to_string(mask));
    ASSERT_EQ(ReplaceFileContent(target, "content"), 0);
    EXPECT_EQ(Read(target), "content");
    EXPECT_EQ(NodeMode(target), S_IFREG | (0666 & ~mask)) << "umask " << mask;
    fs::remove(target);
    EXPECT_TRUE(Entries().empty());
  }
}

TEST_F(FileReplacementTest, AnExistingFileKeepsItsPermissionBitsWithoutSetIdOrStickyBits) {
  ::umask(077);  // the kept bits must not come from the umask
  const std::vector<std::pair<mode_t, mode_t>> cases = {
      {0644, 0644}, {0600, 0600}, {0444, 0444}, {04755, 0755}, {02750, 0750}, {01666, 0666}};
  for (const auto& [before, after] : cases) {
    const fs::path target = At("kept");
    Write(target, "old", before);
    ASSERT_EQ(ReplaceFileContent(target, "new"), 0);
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(NodeMode(target), S_IFREG | after) << std::oct << before;
    EXPECT_EQ(Entries(), std::vector<std::string>{"kept"});
  }
}

TEST_F(FileReplacementTest, WhatIsNotARegularFileIsRefusedAndLeftAsItIs) {
  ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0644), 0);
  fs::create_directory(At("folder"));
  fs::create_symlink(At("fifo"), At("link-to-fifo"));
  fs::create_symlink(At("folder"), At("link-to-folder"));
  const bool device = ::mknod(At("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;  // needs root
  const std::vector<std::string> before = Entries();

  EXPECT_EQ(ReplaceFileContent(At("fifo"), "x"), EPERM) << "and it must not wait for a reader";
  EXPECT_EQ(ReplaceFileContent(At("folder"), "x"), EISDIR);
  EXPECT_EQ(ReplaceFileContent(At("link-to-fifo"), "x"), EPERM);
  EXPECT_EQ(ReplaceFileContent(At("link-to-folder"), "x"), EISDIR);
  if (device) {
    EXPECT_EQ(ReplaceFileContent(At("null"), "x"), EPERM);
  }
  for (const char* name : {"missing/", "folder/", ".", ".."}) {
    EXPECT_EQ(ReplaceFileContent(folder_ / name, "x"), EISDIR) << name;
  }
  EXPECT_EQ(ReplaceFileContent("", "x"), EINVAL);
  EXPECT_EQ(ReplaceFileContent(At(std::string("a\0b", 3)), "x"), EINVAL);

  EXPECT_EQ(Entries(), before) << "nothing created, nothing removed";
  EXPECT_TRUE(S_ISFIFO(NodeMode(At("fifo"))));
  EXPECT_TRUE(S_ISLNK(NodeMode(At("link-to-fifo"))));
  EXPECT_TRUE(fs::is_empty(At("folder")));
  if (device) {
    EXPECT_TRUE(S_ISCHR(NodeMode(At("null"))));
  }
}

TEST_F(FileReplacementTest, ALinkIsReplacedItselfAndWhatItLeadsToIsNotWritten) {
  Write(At("elsewhere"), "theirs", 04755);
  fs::create_symlink(At("elsewhere"), At("link"));
  fs::create_symlink(At("nowhere"), At("dangling"));

  ASSERT_EQ(ReplaceFileContent(At("link"), "mine"), 0);
  ASSERT_EQ(ReplaceFileContent(At("dangling"), "mine"), 0);
  for (const char* name : {"link", "dangling"}) {
    EXPECT_EQ(NodeMode(At(name)), S_IFREG | 0644) << name;
    EXPECT_EQ(Read(At(name)), "mine");
  }
  EXPECT_EQ(Read(At("elsewhere")), "theirs");
  EXPECT_EQ(NodeMode(At("elsewhere")), S_IFREG | 04755);
  EXPECT_FALSE(fs::exists(At("nowhere")));
}

// Links and folders planted at every name a writer could predict from the
// target's name and the process id.
TEST_F(FileReplacementTest, NodesPlantedAtPredictableNamesChangeNothing) {
  Write(At("setuid"), "planted", 04755);
  const std::string pid = std::to_string(::getpid());
  std::vector<std::string> planted = {"out.png.partial-" + pid, "out.png.tmp", "out.png~", ".out.png.swp"};
  for (int n = 0; n < 8; ++n) planted.push_back(".out.png.tmp-" + pid + "-" + std::to_string(n));
  for (const std::string& name : planted) fs::create_symlink(At("setuid"), At(name));
  fs::create_directory(At("out.png.partial"));
  const std::vector<std::string> before = Entries();

  ASSERT_EQ(ReplaceFileContent(At("out.png"), "png"), 0);
  EXPECT_EQ(NodeMode(At("out.png")), S_IFREG | 0644);
  std::vector<std::string> expected = before;
  expected.insert(std::upper_bound(expected.begin(), expected.end(), "out.png"), "out.png");
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(Read(At("setuid")), "planted");
}

TEST_F(FileReplacementTest, EveryNameTheFileSystemTakesWorks) {
  const std::string longest(255, 'n');
  ASSERT_EQ(ReplaceFileContent(At(longest), "x"), 0);
  ASSERT_EQ(ReplaceFileContent(At(longest), "xy"), 0);
  EXPECT_EQ(Read(At(longest)), "xy");
  EXPECT_EQ(ReplaceFileContent(At(longest + "n"), "x"), ENAMETOOLONG);
  EXPECT_EQ(Entries(), std::vector<std::string>{longest});
}

// Tests run as root, so permissions cannot make a write fail; a file size
// limit can, as a full disk would.
TEST_F(FileReplacementTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  Write(At("out"), "old", 0640);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ::getrlimit(RLIMIT_FSIZE, &previous);
  rlimit limited = previous;
  limited.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &limited);
  const int error = ReplaceFileContent(At("out"), std::string(100000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(Read(At("out")), "old");
  EXPECT_EQ(NodeMode(At("out")), S_IFREG | 0640);
  EXPECT_EQ(ReplaceFileContent(At("missing/out"), "x"), ENOENT);
  EXPECT_EQ(ReplaceFileContent(At("out/inside"), "x"), ENOTDIR);
  EXPECT_EQ(Entries(), std::vector<std::string>{"out"});
}

}  // namespace
}  // namespace pixavue::platform
