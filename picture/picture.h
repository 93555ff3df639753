#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace lsg {

// One complete image file held in memory (a BMP after every capture, the start-up
// JPEG before), or empty when there is no picture. It is a value: assigning copies
// the bytes, so a control's picture and its reader's copy never affect each other.
// Nothing mutates the bytes once they are in a Picture.
class Picture {
 public:
  Picture() = default;
  explicit Picture(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  Picture(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {}

  bool empty() const { return bytes_.empty(); }
  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  friend bool operator==(const Picture&, const Picture&) = default;

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace lsg
