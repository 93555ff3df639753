#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/decode.h"

namespace lsg {

// libjpeg with its default settings; greyscale and colour JPEGs (1 or 3 components).
std::optional<DecodedImage> decodeJpeg(std::span<const std::uint8_t> bytes);
std::optional<Size> measureJpeg(std::span<const std::uint8_t> bytes);

}  // namespace lsg
