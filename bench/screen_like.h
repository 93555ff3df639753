#pragma once

// A deterministic picture that compresses like a real desktop screenshot: flat window
// chrome and panels, lines of anti-aliased text, smooth gradients and a photo-like area
// with fine detail. The benchmarks and the conversion's reference test use it, so that
// both look at the kind of picture a capture gives rather than at noise or a flat fill.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lsg::bench {

struct Bgr {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
};

namespace detail {

inline std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Smooth value noise in 0..1 with cells of `cell` pixels.
inline double valueNoise(int x, int y, int cell, std::uint32_t seed) {
  const int cx = x / cell;
  const int cy = y / cell;
  const double fx = static_cast<double>(x % cell) / cell;
  const double fy = static_cast<double>(y % cell) / cell;
  auto at = [&](int i, int j) {
    return (hash(static_cast<std::uint32_t>(cx + i), static_cast<std::uint32_t>(cy + j), seed) &
            0xFFFF) /
           65535.0;
  };
  const double sx = fx * fx * (3 - 2 * fx);
  const double sy = fy * fy * (3 - 2 * fy);
  const double top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
  const double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
  return top + (bottom - top) * sy;
}

inline std::uint8_t clampByte(double v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

inline Bgr mix(Bgr a, Bgr b, double t) {
  return {clampByte(a.blue + (b.blue - a.blue) * t), clampByte(a.green + (b.green - a.green) * t),
          clampByte(a.red + (b.red - a.red) * t)};
}

// Coverage (0..1) of a glyph-like shape in a 7 x 12 cell, with soft edges as a font
// renderer's anti-aliasing gives them: a few strokes picked by the character's hash.
inline double glyphCoverage(int gx, int gy, std::uint32_t character) {
  const double px = gx + 0.5;
  const double py = gy + 0.5;
  double coverage = 0;
  auto stroke = [&](double distance) {
    coverage = std::max(coverage, std::clamp(1.2 - distance, 0.0, 1.0));
  };
  if (character & 1) stroke(std::abs(px - 1.5));                              // left stem
  if (character & 2) stroke(std::abs(px - 5.0));                              // right stem
  if (character & 4) stroke(std::abs(py - 2.5));                              // top bar
  if (character & 8) stroke(std::abs(py - 6.0));                              // middle bar
  if (character & 16) stroke(std::abs(py - 9.5));                             // bottom bar
  if (character & 32) stroke(std::abs((px - 1.0) * 1.6 - (py - 2.0)) / 1.9);  // diagonal
  if (py < 2 || py > 10.5 || px > 6.5) coverage *= 0.3;
  return coverage;
}

inline Bgr pixelAt(int x, int y, int width, int height) {
  const Bgr desktop = mix({150, 90, 40}, {210, 160, 90}, static_cast<double>(y) / height);
  const Bgr chrome{235, 230, 225};
  const Bgr titleBar{170, 120, 40};
  const Bgr panel{255, 255, 255};
  const Bgr ink{30, 30, 30};

  // A taskbar along the bottom.
  if (y >= height - std::max(2, height / 27)) {
    return (x / 48) % 5 == 2 ? Bgr{200, 170, 120} : Bgr{60, 50, 45};
  }
  // One large window over most of the screen: title bar, toolbar, a text panel on the
  // left, a photo on the right.
  const int wx0 = width / 20;
  const int wy0 = height / 20;
  const int wx1 = width - width / 20;
  const int wy1 = height - height / 10;
  if (x < wx0 || x >= wx1 || y < wy0 || y >= wy1) {
    // Desktop wallpaper: a gradient with soft clouds.
    return mix(desktop, {240, 230, 220}, valueNoise(x, y, 97, 7) * 0.35);
  }
  const int lx = x - wx0;
  const int ly = y - wy0;
  const int ww = wx1 - wx0;
  const int wh = wy1 - wy0;
  if (ly < 24) {
    if (lx > 10 && lx < 10 + 7 * 24 && ly >= 6 && ly < 18) {
      const double c = glyphCoverage(lx % 7, ly - 6, detail::hash(lx / 7, 1, 3));
      return mix(titleBar, {255, 255, 255}, c);
    }
    return mix(titleBar, {220, 170, 90}, static_cast<double>(lx) / ww);
  }
  if (ly < 56) {
    const bool button = (lx % 40) >= 6 && (lx % 40) < 34 && ly >= 30 && ly < 50;
    return button ? mix(chrome, {200, 190, 180}, (ly - 30) / 20.0) : chrome;
  }
  if (lx < ww / 2) {
    // Lines of text on white, with a highlighted selection.
    const int line = (ly - 56) / 18;
    const int inLine = (ly - 56) % 18;
    const int column = (lx - 12) / 7;
    const int lineLength = 20 + static_cast<int>(detail::hash(line, 0, 11) % 50);
    const Bgr background = line % 9 == 4 ? Bgr{250, 220, 180} : panel;
    if (lx < 12 || inLine < 3 || inLine >= 15 || column >= lineLength) return background;
    const std::uint32_t character = detail::hash(column, line, 5);
    if (character % 7 == 0) return background;  // a space
    return mix(background, ink, glyphCoverage((lx - 12) % 7, inLine - 3, character));
  }
  if (ly < wh * 2 / 3) {
    // A photo: broad shapes, mid-scale texture and fine grain.
    const double broad = valueNoise(x, y, 173, 21);
    const double texture = valueNoise(x, y, 23, 22);
    const double grain = (detail::hash(x, y, 23) & 0xFF) / 255.0 - 0.5;
    const Bgr sky{230, 180, 110};
    const Bgr ground{60, 120, 90};
    const Bgr base = mix(
        sky, ground,
        std::clamp(static_cast<double>(ly) / (wh * 2 / 3) * 1.2 + (broad - 0.5) * 0.8, 0.0, 1.0));
    const double shade = 0.75 + texture * 0.4 + grain * 0.12;
    return {clampByte(base.blue * shade), clampByte(base.green * shade),
            clampByte(base.red * shade)};
  }
  // A chart-like panel: grid lines over a vertical gradient.
  if (lx % 64 == 0 || ly % 32 == 0) return {200, 200, 200};
  return mix({255, 245, 235}, {255, 200, 150}, static_cast<double>(ly - wh * 2 / 3) / (wh / 3));
}

inline void put(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace detail

// The picture as a 24-bit uncompressed BMP file (40-byte info header, density fields 0),
// bottom-up as a snapshot stores it, or top-down with a negative height.
inline std::vector<std::uint8_t> screenLikeBmp(int width, int height, bool topDown = false) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t image = stride * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> out(54 + image, 0);
  out[0] = 'B';
  out[1] = 'M';
  detail::put(out, 2, static_cast<std::uint32_t>(54 + image), 4);
  detail::put(out, 10, 54, 4);
  detail::put(out, 14, 40, 4);
  detail::put(out, 18, static_cast<std::uint32_t>(width), 4);
  detail::put(out, 22, static_cast<std::uint32_t>(topDown ? -height : height), 4);
  detail::put(out, 26, 1, 2);
  detail::put(out, 28, 24, 2);
  detail::put(out, 34, static_cast<std::uint32_t>(image), 4);
  for (int y = 0; y < height; ++y) {
    const int fileRow = topDown ? y : height - 1 - y;
    std::uint8_t* row = out.data() + 54 + stride * static_cast<std::size_t>(fileRow);
    for (int x = 0; x < width; ++x) {
      const Bgr p = detail::pixelAt(x, y, width, height);
      row[3 * x] = p.blue;
      row[3 * x + 1] = p.green;
      row[3 * x + 2] = p.red;
    }
  }
  return out;
}

}  // namespace lsg::bench
