#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fake/scratch_folder.h"
#include "save/file_io.h"
#include "save/partial_save.h"

#ifdef _WIN32
#include <windows.h>

#include <tlhelp32.h>
#else
#include <unistd.h>
#endif

namespace lsg {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using fake::fsPath;
using fake::readAll;
using fake::utf8Of;

using fake::writeFile;

std::uint32_t ownProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<std::uint32_t>(getpid());
#endif
}

// A process other than this one that runs for as long as the test.
std::uint32_t otherRunningProcessId() {
#ifdef _WIN32
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::uint32_t id = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && id == 0;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID != 0 && entry.th32ProcessID != GetCurrentProcessId()) {
      id = entry.th32ProcessID;
    }
  }
  CloseHandle(snapshot);
  return id;
#else
  return static_cast<std::uint32_t>(getppid());
#endif
}

// Odd, so never a Windows process id, and above every Linux pid_max.
constexpr std::uint32_t kNoProcess = 0x7FFFFFF1;

void plant(const std::string& path, const Bytes& bytes) {
  std::ofstream out(fsPath(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

bool readOnly(const std::string& path) {
  return (fs::status(fsPath(path)).permissions() & fs::perms::owner_write) == fs::perms::none;
}

void setReadOnly(const std::string& path, bool on) {
  const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(fsPath(path), write, on ? fs::perm_options::remove : fs::perm_options::add);
}

class SaveFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ready()); }
  fake::ScratchFolder folder{"lsg-files-"};
};

TEST(SaveTempFolder, IsAnExistingFolderEndingInTheSeparator) {
  const auto temp = tempFolderPath();
  ASSERT_TRUE(temp.has_value());
#ifdef _WIN32
  EXPECT_EQ(temp->back(), '\\');
#else
  EXPECT_EQ(temp->back(), '/');
#endif
  EXPECT_TRUE(fs::is_directory(fsPath(*temp)));
}

TEST_F(SaveFiles, BlocksAreWrittenInOrderAndEmptyBlocksSkipped) {
  const Bytes first{'B', 'M', 0, 1}, empty, last{0xFF, 0xD8, 7};
  const std::span<const std::uint8_t> blocks[] = {first, empty, last, empty};
  const std::string path = folder.file("picture.bmp");
  const WriteResult result = writeBytesToFile(path, blocks);
  EXPECT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(readAll(path), (Bytes{'B', 'M', 0, 1, 0xFF, 0xD8, 7}));
  EXPECT_EQ(folder.names(), std::set<std::string>{"picture.bmp"});
}

TEST_F(SaveFiles, OnlyEmptyBlocksGiveAnEmptyFile) {
  const std::string path = folder.file("empty.bmp");
  ASSERT_TRUE(writeFile(path, Bytes(100, 1)).ok);
  ASSERT_TRUE(writeFile(path, {}).ok);
  EXPECT_TRUE(fileExists(path));
  EXPECT_TRUE(readAll(path).empty());
}

TEST_F(SaveFiles, ReplacingALongerFileLeavesNothingAfterTheNewEnd) {
  const std::string path = folder.file("a.bmp");
  ASSERT_TRUE(writeFile(path, Bytes(5000, 0xAA)).ok);
  ASSERT_TRUE(writeFile(path, Bytes{1, 2, 3}).ok);
  EXPECT_EQ(readAll(path), (Bytes{1, 2, 3}));
  EXPECT_EQ(folder.names(), std::set<std::string>{"a.bmp"});
}

TEST_F(SaveFiles, EmptyPathFailsAndTouchesNothing) {
  const WriteResult result = writeFile("", Bytes{1});
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.reason.empty());
  EXPECT_TRUE(folder.names().empty());
}

TEST_F(SaveFiles, UnwritableTargetFailsWithAReasonAndLeavesNoTrace) {
  const std::string oldFile = folder.file("old.bmp");
  ASSERT_TRUE(writeFile(oldFile, Bytes{9, 9}).ok);
  const std::string asFolder = folder.file("folder.bmp");
  fs::create_directory(fsPath(asFolder));
  const std::string targets[] = {folder.file("missing/a.bmp"), asFolder};
  for (const auto& target : targets) {
    const WriteResult result = writeFile(target, Bytes(64, 1));
    EXPECT_FALSE(result.ok) << target;
    EXPECT_FALSE(result.reason.empty()) << target;
  }
  EXPECT_TRUE(fs::is_directory(fsPath(asFolder)));
  EXPECT_TRUE(fs::is_empty(fsPath(asFolder)));
  EXPECT_EQ(readAll(oldFile), (Bytes{9, 9}));
  EXPECT_EQ(folder.names(), (std::set<std::string>{"folder.bmp", "old.bmp"}));
}

TEST_F(SaveFiles, AnUncommittedReplacementKeepsTheTarget) {
  const std::string path = folder.file("keep.jpg");
  ASSERT_TRUE(writeFile(path, Bytes{4, 5, 6}).ok);
  {
    ReplacementFile out;
    ASSERT_TRUE(out.open(path).ok);
    std::fputs("half a picture", out.file());
    EXPECT_EQ(folder.names().size(), 2u);  // the new file sits beside the target
  }
  EXPECT_EQ(readAll(path), (Bytes{4, 5, 6}));
  EXPECT_EQ(folder.names(), std::set<std::string>{"keep.jpg"});

  ReplacementFile out;
  ASSERT_TRUE(out.open(path).ok);
  std::fputs("new", out.file());
  ASSERT_TRUE(out.commit().ok);
  EXPECT_EQ(readAll(path), (Bytes{'n', 'e', 'w'}));
  EXPECT_FALSE(out.commit().ok);  // a second commit has nothing to move
  EXPECT_EQ(folder.names(), std::set<std::string>{"keep.jpg"});
}

TEST(SavePartialName, OnlyNamesThatThisProgramMakesHaveAnOwner) {
  for (const std::uint32_t id : {0u, 1u, 0x1234u, 0x7FFFFFF1u, 0xFFFFFFFFu}) {
    for (const unsigned serial : {1u, 0xFFFFu, 0x10002u}) {
      EXPECT_EQ(partialSaveOwner(partialSaveName(id, serial)), id) << partialSaveName(id, serial);
    }
  }
  const std::string made = partialSaveName(0xab12, 3);
  EXPECT_EQ(made, "~蓝杉果截图-未完成的保存-0000ab12-0003.tmp");
  const std::string others[] = {
      "~蓝杉果截图-未完成的保存-0000AB12-0003.tmp",  // not how this program writes them
      "~蓝杉果截图-未完成的保存-0000ab12-0003.tmp.bak",
      "~蓝杉果截图-未完成的保存-0000ab12-0003.TMP",
      "蓝杉果截图-未完成的保存-0000ab12-0003.tmp",
      "~蓝杉果截图-未完成的保存-000ab12-0003.tmp",
      "~蓝杉果截图-未完成的保存-0000ab12_0003.tmp",
      "~蓝杉果截图-未完成的保存-0000ab12-003.tmp",
      "~蓝杉果截图-未完成的保存-0000ab1g-0003.tmp",
      "~蓝杉果截图-未完成的保存--0000ab12-003.tmp",
      "~蓝杉果截图-未完成的保存-.tmp",
      "~lsg0000ab120003.tmp",
      "",
  };
  for (const auto& name : others) EXPECT_FALSE(partialSaveOwner(name)) << name;
}

TEST_F(SaveFiles, AReadOnlyTargetIsRefusedAndKeptAsItWas) {
  const std::string path = folder.file("protected.bmp");
  ASSERT_TRUE(writeFile(path, Bytes{7, 7, 7}).ok);
  setReadOnly(path, true);
  ASSERT_TRUE(readOnly(path));
  const WriteResult result = writeFile(path, Bytes(100, 1));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, kReadOnlyReason);
  EXPECT_EQ(readAll(path), (Bytes{7, 7, 7}));
  EXPECT_TRUE(readOnly(path));
  EXPECT_EQ(folder.names(), std::set<std::string>{"protected.bmp"});
  setReadOnly(path, false);  // so that the folder can be removed
}

TEST_F(SaveFiles, ASaveRemovesWhatKilledSavesLeftInItsFolderAndNothingElse) {
  ASSERT_NE(otherRunningProcessId(), 0u);
  // Of processes that ended, one of them with the id this process has now.
  const std::string stale[] = {partialSaveName(kNoProcess, 1), partialSaveName(kNoProcess, 2),
                               partialSaveName(ownProcessId(), 0xFFF0)};
  const std::string kept[] = {
      partialSaveName(otherRunningProcessId(), 1),  // a save of a process that still runs
      "~蓝杉果截图-未完成的保存-7ffffff1-0001.tmp.bak",
      "~蓝杉果截图-未完成的保存-zzzzzzzz-0001.tmp",
      "other.tmp",
      "picture.bmp",
  };
  // Placed with a plain stream: the program's own writer would already clean up.
  for (const auto& name : stale) plant(folder.file(name), Bytes(10, 1));
  for (const auto& name : kept) plant(folder.file(name), Bytes(10, 2));
  // A folder of such a name, and a leftover in another folder, are not this save's.
  const std::string asFolder = partialSaveName(kNoProcess, 3);
  fs::create_directory(fsPath(folder.file(asFolder)));
  fs::create_directory(fsPath(folder.file("elsewhere")));
  const std::string elsewhere = folder.file("elsewhere/" + partialSaveName(kNoProcess, 4));
  plant(elsewhere, Bytes(10, 3));

  ASSERT_TRUE(writeFile(folder.file("picture.bmp"), Bytes{'B', 'M'}).ok);

  std::set<std::string> expected(std::begin(kept), std::end(kept));
  expected.insert({asFolder, "elsewhere"});
  EXPECT_EQ(folder.names(), expected);
  EXPECT_EQ(readAll(folder.file(kept[0])), Bytes(10, 2));
  EXPECT_EQ(readAll(elsewhere), Bytes(10, 3));
  EXPECT_EQ(readAll(folder.file("picture.bmp")), (Bytes{'B', 'M'}));
}

TEST_F(SaveFiles, ATargetHeldOpenForAMomentIsReplacedOnceItIsLetGo) {
  // Windows refuses to replace a file that another handle holds, as a scanner or a sync
  // client does for a moment after a file was written; the save waits for it.
  const std::string path = folder.file("held.bmp");
  ASSERT_TRUE(writeFile(path, Bytes(50, 4)).ok);
  std::FILE* holder = openFile(path, "rb");
  ASSERT_NE(holder, nullptr);
  std::thread letGo([holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::fclose(holder);
  });
  const WriteResult result = writeFile(path, Bytes{1, 2, 3});
  letGo.join();
  EXPECT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(readAll(path), (Bytes{1, 2, 3}));
  EXPECT_EQ(folder.names(), std::set<std::string>{"held.bmp"});
}

TEST_F(SaveFiles, OnlyTheScratchWriteChangesTheFileInPlace) {
  // A second name for the same file shows the difference: a replacement gives the
  // target's name a new file and leaves the old one as it was; a scratch write rewrites
  // the file itself.
  using Write = WriteResult (*)(const std::string&, std::span<const std::span<const std::uint8_t>>);
  const struct {
    const char* what;
    Write write;
    bool inPlace;
  } cases[] = {{"writeBytesToFile", writeBytesToFile, false},
               {"writeScratchFile", writeScratchFile, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder.file(std::string(c.what) + ".tmp");
    const std::string link = path + ".link";
    ASSERT_TRUE(writeFile(path, Bytes(5000, 0xAA)).ok);
    std::error_code error;
    fs::create_hard_link(fsPath(path), fsPath(link), error);
    ASSERT_FALSE(error) << error.message();
    const Bytes fresh{1, 2, 3}, empty;
    const std::span<const std::uint8_t> blocks[] = {fresh, empty, fresh};
    const WriteResult result =
        c.write(path, std::span<const std::span<const std::uint8_t>>(blocks));
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(readAll(path), (Bytes{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(readAll(link), c.inPlace ? readAll(path) : Bytes(5000, 0xAA));
  }
}

TEST_F(SaveFiles, AScratchWriteThatCannotOpenItsFileSaysWhy) {
  const Bytes bytes{1};
  const std::span<const std::uint8_t> blocks[] = {bytes};
  fs::create_directory(fsPath(folder.file("ImageA.tmp")));
  for (const std::string& path :
       {folder.file("ImageA.tmp"), folder.file("missing/ImageA.tmp"), std::string()}) {
    const WriteResult result = writeScratchFile(path, blocks);
    EXPECT_FALSE(result.ok) << path;
    EXPECT_FALSE(result.reason.empty()) << path;
  }
  EXPECT_TRUE(fs::is_directory(fsPath(folder.file("ImageA.tmp"))));
  EXPECT_EQ(folder.names(), std::set<std::string>{"ImageA.tmp"});
}

TEST_F(SaveFiles, ChineseFolderAndFileNames) {
  const std::string subfolder = folder.file("截图测试");
  ASSERT_TRUE(fs::create_directory(fsPath(subfolder)));
  const std::string path = utf8Of(fsPath(subfolder) / fsPath("图片.bmp"));
  const WriteResult result = writeFile(path, Bytes{'B', 'M'});
  ASSERT_TRUE(result.ok) << result.reason;
  EXPECT_TRUE(fileExists(path));
  EXPECT_EQ(readAll(path), (Bytes{'B', 'M'}));
  EXPECT_TRUE(fs::exists(fsPath(subfolder) / fsPath("图片.bmp")));
}

TEST_F(SaveFiles, FileExistsForFilesAndFoldersOnly) {
  const std::string file = folder.file("x.tmp");
  ASSERT_TRUE(writeFile(file, Bytes{1}).ok);
  EXPECT_TRUE(fileExists(file));
  EXPECT_TRUE(fileExists(utf8Of(fsPath(file).parent_path())));
  EXPECT_FALSE(fileExists(folder.file("y.tmp")));
  EXPECT_FALSE(fileExists(""));
  EXPECT_TRUE(removeFile(file));
  EXPECT_FALSE(fileExists(file));
}

}  // namespace
}  // namespace lsg
