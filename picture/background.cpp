#include "picture/background.h"

#include <utility>

#include "picture/placement.h"

namespace lsg {

void BackgroundPicture::assign(const Picture& picture) {
  bytes_ = picture;
  decoded_.reset();
}

void BackgroundPicture::assign(Picture&& picture) {
  bytes_ = std::move(picture);
  decoded_.reset();
}

bool BackgroundPicture::setMode(int mode) {
  const int clamped =
      kind_ == Kind::Canvas ? clampCanvasPictureMode(mode) : clampWindowPictureMode(mode);
  const bool changed = clamped != mode_;
  mode_ = clamped;
  return changed;
}

const DecodedImage* BackgroundPicture::decoded() {
  if (decoded_) return decoded_.get();
  if (bytes_.empty()) return nullptr;
  decoded_ = bytes_.sharedDecoded();
  if (decoded_) return decoded_.get();
  if (std::optional<DecodedImage> image = decodePicture(bytes_.bytes())) {
    decoded_ = std::make_shared<const DecodedImage>(std::move(*image));
    bytes_.shareDecoded(decoded_);
    return decoded_.get();
  }
  if (kind_ == Kind::Canvas) bytes_ = Picture{};
  return nullptr;
}

}  // namespace lsg
