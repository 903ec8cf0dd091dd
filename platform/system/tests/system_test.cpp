#include "platform/system/system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/runtime/tests/expect_error.h"

namespace quillary::sys {
namespace {

namespace fs = std::filesystem;

TEST(SystemClock, TimeOfDayInRangeAndMonotonicNeverGoesBack) {
  SystemClock clock;
  const double first = clock.MonotonicSeconds();
  const double timeOfDay = clock.SecondsSinceMidnight();
  EXPECT_GE(timeOfDay, 0);
  EXPECT_LT(timeOfDay, 86400);
  EXPECT_GE(clock.MonotonicSeconds(), first);
}

class ProcessDirectoriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "quillary-dirs-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    temp_ = fs::canonical(pattern);
  }
  void TearDown() override {
    fs::current_path(saved_);
    fs::remove_all(temp_);
  }

  fs::path saved_;
  fs::path temp_;
};

TEST_F(ProcessDirectoriesTest, ChangeAndRestore) {
  ProcessDirectories dirs;
  const std::string before = dirs.Current();
  EXPECT_EQ(before, saved_.string());
  dirs.Change(temp_.string());
  EXPECT_EQ(dirs.Current(), temp_.string());
  EXPECT_EQ(fs::current_path(), temp_);
  dirs.Change(before);
  EXPECT_EQ(dirs.Current(), before);
}

TEST_F(ProcessDirectoriesTest, BadPathRaisesPathNotFoundAndStaysPut) {
  ProcessDirectories dirs;
  dirs.Change(temp_.string());
  const fs::path file = temp_ / "plain-file";
  std::FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  for (const std::string& bad : {(temp_ / "missing").string(), file.string(), std::string()}) {
    SCOPED_TRACE(bad);
    const Error e = check::ExpectRaises([&] { dirs.Change(bad); }, err::kPathNotFound);
    EXPECT_EQ(e.Description(), "Path not found");
    EXPECT_EQ(dirs.Current(), temp_.string()) << bad;
  }
}

TEST(ProcessDirectories, ComponentFolderIsTheExecutablesOrTheOneGiven) {
  const std::string folder = ProcessDirectories().ComponentFolder();
  EXPECT_TRUE(fs::exists(fs::path(folder) / "quillary_system_tests")) << folder;
  EXPECT_EQ(ProcessDirectories("/opt/quillary").ComponentFolder(), "/opt/quillary");
}

}  // namespace
}  // namespace quillary::sys
