// The two save commands on the in-memory platform, with real files in a scratch folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/picture_view.h"
#include "fake/fake_program.h"
#include "fake/scratch_folder.h"
#include "fake/test_pictures.h"
#include "picture/decode.h"
#include "save/convert_jpeg.h"
#include "save/file_io.h"
#include "save/save_commands.h"

namespace lsg {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using fake::fsPath;
using fake::readAll;
using fake::utf8Of;

void writeAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(fsPath(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Picture startupJpeg() {
  return Picture(readAll(std::string(LSG_SOURCE_DIR) + "/resources/startup.jpg"));
}

// A 24-bit bottom-up BMP of an odd width whose top half is red and bottom half blue, so
// that a JPEG made from it shows whether rows and colours kept their places.
Picture redOverBlue(int width, int height) {
  Picture blank = fake::blankBmp(width, height);
  Bytes b(blank.bytes().begin(), blank.bytes().end());
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  for (int row = 0; row < height; ++row) {
    const bool top = row >= height / 2;  // stored bottom-up
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &b[54 + static_cast<std::size_t>(row) * stride + x * 3];
      p[0] = top ? 0 : 255;  // B, G, R
      p[2] = top ? 255 : 0;
    }
  }
  return Picture(std::move(b));
}

bool near(std::uint32_t pixel, std::uint32_t expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > 24) return false;
  }
  return true;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class SaveCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto temp = tempFolderPath();
    ASSERT_TRUE(temp);
    std::random_device random;
    root = fsPath(*temp + "lsg-save-" + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(root));
    // A Chinese folder name: the commands hand UTF-8 paths through unchanged.
    fs::create_directory(root / fsPath("临时"));
    p.save.temporary = utf8Of(root / fsPath("临时")) + "/";
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(root, error);
  }

  std::string file(const std::string& name) const { return utf8Of(root / fsPath(name)); }
  std::string temporaryFile() const { return *p.save.temporary + "ImageA.tmp"; }
  Form& main() { return p.mainWindow(); }
  Canvas& canvas() { return main().canvas("画板1"); }
  SaveDialogSettings& dialog() { return main().saveDialog("通用对话框").settings(); }
  std::vector<std::string> namesIn(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(utf8Of(entry.path().filename()));
    }
    return names;
  }

  fs::path root;
  fake::FakeProgram p{startupJpeg()};
};

using Command = void (*)(Program&);

TEST_F(SaveCommands, EachCommandSetsItsFilterAndExtensionAndCancelWritesNothing) {
  struct Case {
    Command command;
    const char* filter;
    const char* extension;
  };
  const Case cases[] = {{saveAsBmp, "BMP位图文件|*.bmp", "*.bmp"},
                        {saveAsJpg, "JPG图形文件|*.jpg", "*.jpg"}};
  dialog().fileName = file("earlier.bmp");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    c.command(p.program);  // no answer: the user cancels
    const SaveDialogSettings& shown = p.save.shown.back();
    EXPECT_EQ(shown.filterText, c.filter);
    EXPECT_EQ(shown.defaultExtension, c.extension);
    EXPECT_EQ(shown.title, "保存图形文件");
    EXPECT_EQ(shown.fileName, file("earlier.bmp"));
    EXPECT_EQ(buildFilterList(shown.filterText).size(), std::string(c.filter).size() + 2);
    EXPECT_EQ(p.save.owners.back(), main().handle());
  }
  EXPECT_EQ(dialog().fileName, file("earlier.bmp"));
  EXPECT_TRUE(p.save.errors.empty());
  EXPECT_EQ(namesIn(root), std::vector<std::string>{"临时"});
  EXPECT_TRUE(namesIn(root / fsPath("临时")).empty());
}

TEST_F(SaveCommands, TheConfirmedPathCarriesOverToTheNextDialogOfEitherCommand) {
  p.save.answers = {file("a.bmp"), "", file("b.jpg"), ""};
  saveAsBmp(p.program);
  saveAsJpg(p.program);  // cancelled
  saveAsJpg(p.program);
  saveAsBmp(p.program);  // cancelled
  ASSERT_EQ(p.save.shown.size(), 4u);
  EXPECT_EQ(p.save.shown[0].fileName, "");
  EXPECT_EQ(p.save.shown[1].fileName, file("a.bmp"));
  EXPECT_EQ(p.save.shown[2].fileName, file("a.bmp"));
  EXPECT_EQ(p.save.shown[3].fileName, file("b.jpg"));
  EXPECT_TRUE(p.save.errors.empty());
}

TEST_F(SaveCommands, BmpWritesTheCanvasBytesUnchanged) {
  const Picture startup = canvas().picture();
  ASSERT_EQ(startup, startupJpeg());
  ASSERT_FALSE(startup.empty());

  // Before any capture: the start-up JPEG, whatever the extension.
  p.save.answers = {file("start.bmp")};
  saveAsBmp(p.program);
  EXPECT_EQ(readAll(file("start.bmp")), Bytes(startup.bytes().begin(), startup.bytes().end()));

  // A snapshot, then the same after the view was cleared.
  const Picture snapshot = redOverBlue(37, 21);
  canvas().setPicture(snapshot);
  fitCanvasToPicture(p.program.app);
  clearView(p.program.app);
  p.save.answers = {file("cleared.bmp")};
  saveAsBmp(p.program);
  EXPECT_EQ(readAll(file("cleared.bmp")), Bytes(snapshot.bytes().begin(), snapshot.bytes().end()));
  EXPECT_TRUE(p.save.errors.empty());
}

TEST_F(SaveCommands, BmpOfACanvasWithoutBytesEmptiesTheFileSilently) {
  fake::FakeProgram empty;
  empty.save.temporary = p.save.temporary;
  writeAll(file("old.bmp"), Bytes(100, 7));
  empty.save.answers = {file("old.bmp")};
  saveAsBmp(empty.program);
  EXPECT_TRUE(fs::exists(fsPath(file("old.bmp"))));
  EXPECT_EQ(fs::file_size(fsPath(file("old.bmp"))), 0u);
  EXPECT_TRUE(empty.save.errors.empty());
}

TEST_F(SaveCommands, JpgConvertsThroughTheTemporaryFileAndKeepsIt) {
  struct Case {
    const char* name;
    Picture picture;
    int width, height;
  };
  const Case cases[] = {{"snapshot.jpg", redOverBlue(37, 21), 37, 21},
                        {"startup.jpg", startupJpeg(), 596, 440}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas().setPicture(c.picture);
    p.save.answers = {file(c.name)};
    saveAsJpg(p.program);
    EXPECT_EQ(readAll(temporaryFile()), Bytes(c.picture.bytes().begin(), c.picture.bytes().end()));
    const Bytes jpeg = readAll(file(c.name));
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const auto decoded = decodePicture(jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, c.width);
    EXPECT_EQ(decoded->height, c.height);
  }
  const auto decoded = decodePicture(readAll(file("snapshot.jpg")));
  EXPECT_TRUE(near(decoded->pixels.front(), 0xFF0000)) << std::hex << decoded->pixels.front();
  EXPECT_TRUE(near(decoded->pixels.back(), 0x0000FF)) << std::hex << decoded->pixels.back();
  EXPECT_TRUE(p.save.errors.empty());
}

TEST_F(SaveCommands, AFileThatWasNotWrittenIsReportedAndAnExistingOneKept) {
  const Bytes old{1, 2, 3, 4, 5};
  struct Case {
    const char* what;
    Command command;
    std::string target;
    Picture picture;
    bool existing;     // an old file at the target that must survive
    bool tempBlocked;  // something in the way of "ImageA.tmp"
    std::string reasonPart;
  };
  const Case cases[] = {
      {"bmp into a missing folder", saveAsBmp, file("missing/a.bmp"), redOverBlue(5, 3), false,
       false, ""},
      {"jpg into a missing folder", saveAsJpg, file("missing/a.jpg"), redOverBlue(5, 3), false,
       false, conversionFailure(kJpegTargetFailed)},
      {"jpg of no picture bytes", saveAsJpg, file("keep.jpg"), Picture(), true, false,
       conversionFailure(kJpegSourceUnreadable)},
      {"jpg of something that is no picture", saveAsJpg, file("keep2.jpg"), Picture(Bytes(80, 'x')),
       true, false, conversionFailure(kJpegSourceUnreadable)},
      {"jpg with the temporary file blocked", saveAsJpg, file("keep3.jpg"), redOverBlue(5, 3), true,
       true, "ImageA.tmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.existing) writeAll(c.target, old);
    // A folder of that name: the temporary file cannot replace it.
    if (c.tempBlocked) {
      fs::remove(fsPath(temporaryFile()));
      fs::create_directory(fsPath(temporaryFile()));
    }
    canvas().setPicture(c.picture);
    p.save.errors.clear();
    p.save.owners.clear();
    p.save.answers = {c.target};
    c.command(p.program);

    ASSERT_EQ(p.save.errors.size(), 1u);
    const std::string& message = p.save.errors.front();
    EXPECT_TRUE(message.starts_with("无法保存文件 " + c.target + "：")) << message;
    EXPECT_TRUE(contains(message, c.reasonPart)) << message;
    EXPECT_GT(message.size(), ("无法保存文件 " + c.target + "：").size()) << "no reason given";
    EXPECT_EQ(p.save.owners.back(), main().handle());
    if (c.existing) {
      EXPECT_EQ(readAll(c.target), old);
    } else {
      EXPECT_FALSE(fs::exists(fsPath(c.target)));
    }
    if (c.command == saveAsJpg && !c.tempBlocked) {
      EXPECT_EQ(readAll(temporaryFile()),
                Bytes(c.picture.bytes().begin(), c.picture.bytes().end()));
    }
    if (c.tempBlocked) {
      // The conversion did not run on the folder in the way, so no conversion failure.
      EXPECT_FALSE(contains(message, conversionFailure(kJpegSourceUnreadable))) << message;
      fs::remove(fsPath(temporaryFile()));
    }
  }
}

TEST_F(SaveCommands, JpgRewritesImageATmpInPlace) {
  // Another name for the same file sees the new bytes only when the file itself was
  // rewritten, not replaced by a new one.
  writeAll(temporaryFile(), Bytes(3000, 9));
  const std::string link = *p.save.temporary + "link-to-ImageA";
  std::error_code error;
  fs::create_hard_link(fsPath(temporaryFile()), fsPath(link), error);
  ASSERT_FALSE(error) << error.message();
  const Picture picture = redOverBlue(7, 5);
  canvas().setPicture(picture);
  p.save.answers = {file("in-place.jpg")};
  saveAsJpg(p.program);
  EXPECT_TRUE(p.save.errors.empty());
  EXPECT_EQ(readAll(link), Bytes(picture.bytes().begin(), picture.bytes().end()));
  EXPECT_TRUE(decodePicture(readAll(file("in-place.jpg"))));
}

TEST_F(SaveCommands, AReadOnlyTargetIsReportedAndKeptByBothCommands) {
  const Bytes old{1, 2, 3};
  const struct {
    Command command;
    const char* name;
    std::string reasonPart;
  } cases[] = {{saveAsBmp, "protected.bmp", kReadOnlyReason},
               {saveAsJpg, "protected.jpg", conversionFailure(kJpegTargetFailed)}};
  const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  canvas().setPicture(redOverBlue(5, 3));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string target = file(c.name);
    writeAll(target, old);
    fs::permissions(fsPath(target), write, fs::perm_options::remove);
    p.save.errors.clear();
    p.save.answers = {target};
    c.command(p.program);
    ASSERT_EQ(p.save.errors.size(), 1u);
    EXPECT_TRUE(contains(p.save.errors.front(), c.reasonPart)) << p.save.errors.front();
    EXPECT_EQ(readAll(target), old);
    EXPECT_EQ(fs::status(fsPath(target)).permissions() & fs::perms::owner_write, fs::perms::none);
    fs::permissions(fsPath(target), write, fs::perm_options::add);
  }
}

TEST(SaveTemporaryPath, ImageATmpInTheTemporaryFolderOrBare) {
  fake::FakeSavePlatform platform;
  platform.temporary = "T/";
  EXPECT_EQ(temporaryImagePath(platform), "T/ImageA.tmp");
  platform.temporary = std::nullopt;
  EXPECT_EQ(temporaryImagePath(platform), "ImageA.tmp");
}

}  // namespace
}  // namespace lsg
