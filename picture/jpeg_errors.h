#pragma once

// libjpeg's error manager turned into a jump back to the function that called the
// library, so that a library error never ends the process and its messages never
// reach the user (nor stderr: a truncated stream is only a warning). The display decoder
// and the conversion's reader and writer all use it. Each user keeps the setjmp and all
// its libjpeg calls in one function.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace lsg {

struct JpegErrorManager {
  jpeg_error_mgr base;  // first, so the library's pointer to it is a pointer to this
  std::jmp_buf jump;
};

[[noreturn]] inline void jumpBackOnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

inline void dropJpegMessage(j_common_ptr) {}

inline jpeg_error_mgr* useJpegErrorManager(JpegErrorManager& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.base);
  manager->error_exit = jumpBackOnJpegError;
  manager->output_message = dropJpegMessage;
  return manager;
}

}  // namespace lsg
