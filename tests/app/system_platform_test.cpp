// The real platform's files and clock (HTTP is the feed client's own tests).

#include "app/system_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace zelko {
namespace {

namespace fs = std::filesystem;

// The shared part alone: the front-end hooks do nothing here.
class SystemPlatform final : public zelko::SystemPlatform {
 public:
  using zelko::SystemPlatform::SystemPlatform;
  void OpenWithShell(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  void ReportError(const std::string&) override {}
  void ProcessPendingEvents() override {}
  void CloseMainWindow() override {}
};

class SystemPlatformFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("zelko-platform-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  static mode_t Mode(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 0777;
  }
  int Entries() const {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
    return n;
  }
  fs::path dir;
};

TEST_F(SystemPlatformFilesTest, OwnerOnlyFilesAreReadableByTheOwnerAlone) {
  SystemPlatform platform({}, dir);
  ASSERT_TRUE(platform.WriteFile("log.log", "a\r\nb\r\n", true));
  EXPECT_EQ(Mode(dir / "log.log"), 0600u);
  EXPECT_EQ(platform.ReadFile("log.log"), "a\r\nb\r\n");
}

TEST_F(SystemPlatformFilesTest, AnOwnerOnlyWriteTightensAnOpenEarlierFile) {
  { std::ofstream(dir / "log.log") << "old"; }
  fs::permissions(dir / "log.log", fs::perms(0644));
  SystemPlatform platform({}, dir);
  ASSERT_TRUE(platform.WriteFile("log.log", "new", true));
  EXPECT_EQ(Mode(dir / "log.log"), 0600u);
  EXPECT_EQ(platform.ReadFile("log.log"), "new");
}

TEST_F(SystemPlatformFilesTest, OtherFilesFollowTheUmask) {
  const mode_t old = ::umask(022);
  SystemPlatform platform({}, dir);
  const bool written = platform.WriteFile("report.html", "<html>", false);
  ::umask(old);
  ASSERT_TRUE(written);
  EXPECT_EQ(Mode(dir / "report.html"), 0644u);
}

TEST_F(SystemPlatformFilesTest, AWriteReplacesTheFileWholeAndLeavesNoTemporary) {
  SystemPlatform platform({}, dir);
  ASSERT_TRUE(platform.WriteFile("report.html", std::string(10000, 'x'), false));
  ASSERT_TRUE(platform.WriteFile("report.html", "short", false));
  EXPECT_EQ(platform.ReadFile("report.html"), "short");
  EXPECT_EQ(Entries(), 1);
}

TEST_F(SystemPlatformFilesTest, BytesGoOutUnchanged) {
  SystemPlatform platform({}, dir);
  const std::string bytes("\xC8\xE2\xE0\xED\r\n\0x", 8);
  ASSERT_TRUE(platform.WriteFile("log.log", bytes, true));
  EXPECT_EQ(platform.ReadFile("log.log"), bytes);
}

TEST_F(SystemPlatformFilesTest, AFileThatCannotBeWrittenGivesFalseAndKeepsTheOldOne) {
  SystemPlatform platform({}, dir);
  ASSERT_TRUE(platform.WriteFile("log.log", "old", true));
  SystemPlatform elsewhere({}, dir / "missing");
  EXPECT_FALSE(elsewhere.WriteFile("log.log", "new", true));
  fs::create_directories(dir / "report.html");  // a folder where the file should be
  EXPECT_FALSE(platform.WriteFile("report.html", "x", false));
  EXPECT_EQ(platform.ReadFile("log.log"), "old");
  EXPECT_EQ(Entries(), 2);  // log.log and the folder; no temporary left behind
}

TEST_F(SystemPlatformFilesTest, MissingFilesReadAsNothingAndRemovingThemIsHarmless) {
  SystemPlatform platform({}, dir);
  EXPECT_EQ(platform.ReadFile("log.log"), std::nullopt);
  platform.RemoveFile("log.log");
  ASSERT_TRUE(platform.WriteFile("log.log", "x", true));
  platform.RemoveFile("log.log");
  EXPECT_EQ(platform.ReadFile("log.log"), std::nullopt);
}

TEST(SystemPlatformTest, WithoutADirectoryNamesStayRelativeToTheWorkingDirectory) {
  SystemPlatform platform;
  EXPECT_EQ(platform.PathOf("log.log"), fs::path("log.log"));
}

TEST(SystemPlatformTest, TheLocalTimeIsATimeOfDay) {
  SystemPlatform platform;
  const TimeOfDay now = platform.LocalTime();
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
}

TEST(SystemPlatformTest, AProbeWithoutAServerHasNoAnswer) {
  SystemPlatform platform(
      RequestLimits{std::chrono::milliseconds(500), std::chrono::milliseconds(500), 1024});
  EXPECT_EQ(platform.ProbeStatus("http://127.0.0.1:1/refresh/zelko2.4.txt"),
            ProbeOutcome::NoAnswer);
}

}  // namespace
}  // namespace zelko
