#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fake/scratch_folder.h"
#include "save/file_io.h"

namespace lsg {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using fake::fsPath;
using fake::readAll;
using fake::utf8Of;

using fake::writeFile;

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
