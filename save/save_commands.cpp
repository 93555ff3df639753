#include "save/save_commands.h"

#include <cstdint>
#include <span>

#include "app/program.h"
#include "save/convert_jpeg.h"
#include "save/file_io.h"

namespace lsg {
namespace {

constexpr const char* kTemporaryName = "ImageA.tmp";

WriteResult writePicture(const std::string& path, const Picture& picture) {
  const std::span<const std::uint8_t> blocks[] = {picture.bytes()};
  return writeBytesToFile(path, blocks);
}

// "ImageA.tmp" is scratch: written in place, without the flush and the rename that
// keep the user's own files safe.
WriteResult writeScratchPicture(const std::string& path, const Picture& picture) {
  const std::span<const std::uint8_t> blocks[] = {picture.bytes()};
  return writeScratchFile(path, blocks);
}

}  // namespace

std::string temporaryImagePath(SavePlatform& platform) {
  return platform.temporaryFolder().value_or(std::string()) + kTemporaryName;
}

std::string cannotSaveMessage(const std::string& path, const std::string& reason) {
  return "无法保存文件 " + path + "：" + reason;
}

std::string conversionFailure(int result) {
  switch (result) {
    case kJpegSourceMissing:
      return "找不到要转换的临时文件";
    case kJpegSourceUnreadable:
      return "图形无法读取（没有图形，或不是 24 位 BMP 或 JPEG 图形）";
    case kJpegTargetFailed:
      return "文件无法写入，或 JPEG 编码失败";
    case kJpegBadParameter:
      return "转换参数无效";
    default:
      return "转换失败（代码 " + std::to_string(result) + "）";
  }
}

// The steps of the command, and after them the error box when the file was not
// written: a failure after the user confirmed a name must not go unnoticed.
void saveAsBmp(Program& program) {
  Form& 主窗口 = program.app.form("主窗口");
  SaveDialogSettings& 通用对话框 = 主窗口.saveDialog("通用对话框").settings();
  通用对话框.filterText = "BMP位图文件|*.bmp";
  通用对话框.defaultExtension = "*.bmp";
  if (!program.save.showSaveDialog(通用对话框, 主窗口.handle())) return;
  const std::string path = 通用对话框.fileName;
  const Picture picture = 主窗口.canvas("画板1").picture();
  const WriteResult written = writePicture(path, picture);
  if (!written.ok) program.save.showError(主窗口.handle(), cannotSaveMessage(path, written.reason));
}

void saveAsJpg(Program& program) {
  Form& 主窗口 = program.app.form("主窗口");
  SaveDialogSettings& 通用对话框 = 主窗口.saveDialog("通用对话框").settings();
  通用对话框.filterText = "JPG图形文件|*.jpg";
  通用对话框.defaultExtension = "*.jpg";
  if (!program.save.showSaveDialog(通用对话框, 主窗口.handle())) return;
  const std::string temporary = temporaryImagePath(program.save);
  const WriteResult staged = writeScratchPicture(temporary, 主窗口.canvas("画板1").picture());
  const std::string path = 通用对话框.fileName;
  // Converting what an earlier save left in the temporary file would store an old
  // picture under the new name.
  if (!staged.ok) {
    program.save.showError(
        主窗口.handle(),
        cannotSaveMessage(path, "临时文件 " + temporary + " 无法写入：" + staged.reason));
    return;
  }
  const int result = convertToJpeg(temporary, path, false, 80, true, 0);
  if (result != kJpegWritten) {
    program.save.showError(主窗口.handle(), cannotSaveMessage(path, conversionFailure(result)));
  }
}

}  // namespace lsg
