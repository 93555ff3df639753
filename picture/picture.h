#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace lsg {

struct DecodedImage;

// One complete image file held in memory (a BMP after every capture, the start-up
// JPEG before), or empty when there is no picture. It is a value: nothing changes the
// bytes once they are in a Picture, so copies share one buffer and a control's picture
// and its reader's copy still never affect each other. A full-screen picture held by
// the shared state and two controls of the region overlay is therefore in memory once.
class Picture {
 public:
  Picture() = default;
  explicit Picture(std::vector<std::uint8_t> bytes) {
    if (!bytes.empty()) data_ = std::make_shared<const Data>(std::move(bytes));
  }
  Picture(const std::uint8_t* data, std::size_t size)
      : Picture(std::vector<std::uint8_t>(data, data + size)) {}

  bool empty() const { return !data_; }
  std::size_t size() const { return data_ ? data_->bytes.size() : 0; }
  std::span<const std::uint8_t> bytes() const {
    return data_ ? std::span<const std::uint8_t>(data_->bytes) : std::span<const std::uint8_t>();
  }

  // The pixels these very bytes were decoded to, while some control that shows them keeps
  // them; null otherwise. A picture shown by two controls is decoded once for both.
  std::shared_ptr<const DecodedImage> sharedDecoded() const {
    return data_ ? data_->decoded.lock() : nullptr;
  }
  // Offers `decoded` (made from these bytes) to every holder of the same bytes. Only a
  // weak reference is kept: the pixels go when the last control showing them lets go,
  // even while the bytes stay (the frozen screen after its overlay has closed).
  void shareDecoded(const std::shared_ptr<const DecodedImage>& decoded) const {
    if (data_) data_->decoded = decoded;
  }

  friend bool operator==(const Picture& a, const Picture& b) {
    return a.data_ == b.data_ || std::ranges::equal(a.bytes(), b.bytes());
  }

 private:
  struct Data {
    explicit Data(std::vector<std::uint8_t> b) : bytes(std::move(b)) {}
    std::vector<std::uint8_t> bytes;
    // A cache beside the immutable bytes; everything runs on the one UI thread.
    mutable std::weak_ptr<const DecodedImage> decoded;
  };
  std::shared_ptr<const Data> data_;
};

}  // namespace lsg
