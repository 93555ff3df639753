#pragma once

#include <string>

namespace lsg {

// Result codes of convertToJpeg.
inline constexpr int kJpegWritten = 1;
inline constexpr int kJpegSourceMissing = -1;
inline constexpr int kJpegSourceUnreadable = -3;
inline constexpr int kJpegTargetFailed = -4;
inline constexpr int kJpegBadParameter = -7;

// Reads `source` (a JPEG stream or an uncompressed 24-bit BMP file) and writes it to
// `target` as a baseline JFIF JPEG. Returns 1 when the JPEG was written; -1 when no
// file exists at `source`; -3 when no reader accepted it or decoding failed; -4 when
// the target could not be written or encoding failed; -7 when a path is empty,
// quality is outside 1..100 or smoothing outside 0..100. Only a result of 1 touches
// the target: it is replaced as a whole, so any failure leaves an existing file as
// it was.
int convertToJpeg(const std::string& source, const std::string& target, bool grayscale, int quality,
                  bool optimize, int smoothing);

}  // namespace lsg
