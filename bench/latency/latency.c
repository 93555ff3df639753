/* Latency from a key to a pixel, measured outside the program as a user sees it: the key
 * goes in through XTest, and a pixel of the X root window is polled with XGetImage, about
 * once a millisecond. Built and run by scripts/latency.sh against the program under Wine.
 *
 *   latency view X Y RUNS [TRACE_X TRACE_Y TRACE_W TRACE_H COLOUR]
 *     Ctrl+A, timed until (X, Y) shows a colour of the ticker window (blue 200): the new
 *     picture painted in the view. Before each run Ctrl+C clears the view and the tool
 *     waits for white there. With a trace rectangle (screen coordinates, inside the view)
 *     and the colour it must hold (hex RRGGBB, the desktop's), each run also counts the
 *     pixels there of another colour: traces of 主窗口 in a picture taken too early.
 *   latency overlay X Y RUNS
 *     Ctrl+Z, timed until (X, Y), a point of the ticker window, shows a colour the ticker
 *     showed before: the frozen screen over it. The ticker never repeats a colour, so only
 *     the frozen picture can. Esc then closes the overlay.
 *
 * Prints one line per run and then the minimum and the median in milliseconds. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kMaxRuns = 200, kHistory = 4096 };
static const double kTimeoutMs = 10000;

static Display* display;
static Window root;

static double nowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static unsigned long pixelAt(int x, int y) {
  XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel;
}

static void key(KeySym symbol, int withControl) {
  const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
  const KeyCode code = XKeysymToKeycode(display, symbol);
  if (withControl) XTestFakeKeyEvent(display, control, True, CurrentTime);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  if (withControl) XTestFakeKeyEvent(display, control, False, CurrentTime);
  XFlush(display);
}

static void pause1ms(void) { usleep(1000); }

/* Polls until (x, y) equals `colour`; 0 on timeout. */
static int waitFor(int x, int y, unsigned long colour) {
  const double start = nowMs();
  while (nowMs() - start < kTimeoutMs) {
    if (pixelAt(x, y) == colour) return 1;
    pause1ms();
  }
  return 0;
}

static long countOther(int x, int y, int w, int h, unsigned long colour) {
  XImage* image = XGetImage(display, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
  if (!image) return -1;
  long other = 0;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) other += (XGetPixel(image, i, j) & 0xFFFFFF) != colour;
  XDestroyImage(image);
  return other;
}

static int isTickerColour(unsigned long pixel) { return (pixel & 0xFF) == 200; }

static double viewRun(int x, int y) {
  key(XK_c, 1);
  if (!waitFor(x, y, 0xFFFFFF)) return -1;
  usleep(300 * 1000); /* the program idle again before the key */
  const double start = nowMs();
  key(XK_a, 1);
  while (nowMs() - start < kTimeoutMs) {
    if (isTickerColour(pixelAt(x, y))) return nowMs() - start;
    pause1ms();
  }
  return -1;
}

static double overlayRun(int x, int y) {
  static unsigned long seen[kHistory];
  int count = 0;
  /* The ticker's recent colours, so that a repeat can be told from a new one. */
  const double warm = nowMs();
  unsigned long last = pixelAt(x, y);
  seen[count++] = last;
  while (nowMs() - warm < 200) {
    const unsigned long p = pixelAt(x, y);
    if (p != last && count < kHistory) seen[count++] = p;
    last = p;
    pause1ms();
  }
  const double start = nowMs();
  key(XK_z, 1);
  double result = -1;
  while (nowMs() - start < kTimeoutMs && result < 0) {
    const unsigned long p = pixelAt(x, y);
    if (p != last) {
      for (int i = 0; i < count; ++i)
        if (seen[i] == p) result = nowMs() - start;
      if (count < kHistory) seen[count++] = p;
      last = p;
    }
    pause1ms();
  }
  usleep(200 * 1000);
  key(XK_Escape, 0);
  usleep(1200 * 1000); /* 主窗口 back before the next run */
  return result;
}

static int compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

int main(int argc, char** argv) {
  if (argc < 5 || (strcmp(argv[1], "view") != 0 && strcmp(argv[1], "overlay") != 0)) {
    fprintf(stderr, "usage: %s view|overlay X Y RUNS [TRACE_X TRACE_Y TRACE_W TRACE_H RGB]\n",
            argv[0]);
    return 2;
  }
  const int view = strcmp(argv[1], "view") == 0;
  const int x = atoi(argv[2]), y = atoi(argv[3]);
  int runs = atoi(argv[4]);
  if (runs < 1 || runs > kMaxRuns) runs = kMaxRuns;
  const int trace = argc >= 10;
  int tx = 0, ty = 0, tw = 0, th = 0;
  unsigned long background = 0;
  if (trace) {
    tx = atoi(argv[5]), ty = atoi(argv[6]), tw = atoi(argv[7]), th = atoi(argv[8]);
    background = strtoul(argv[9], NULL, 16);
  }

  display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "latency: no display\n");
    return 1;
  }
  int event, error, major, minor;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    fprintf(stderr, "latency: the X server has no XTest\n");
    return 1;
  }
  root = DefaultRootWindow(display);

  double times[kMaxRuns];
  int done = 0, failed = 0, traced = 0;
  for (int i = 0; i < runs; ++i) {
    const double ms = view ? viewRun(x, y) : overlayRun(x, y);
    if (ms < 0) {
      printf("run %d: no change within %.0f ms\n", i + 1, kTimeoutMs);
      ++failed;
      continue;
    }
    times[done++] = ms;
    if (trace) {
      usleep(100 * 1000);
      const long other = countOther(tx, ty, tw, th, background);
      traced += other != 0;
      printf("run %d: %.1f ms, %ld pixels of a trace\n", i + 1, ms, other);
    } else {
      printf("run %d: %.1f ms\n", i + 1, ms);
    }
    fflush(stdout);
  }
  if (done == 0) return 1;
  qsort(times, (size_t)done, sizeof times[0], compare);
  const double median =
      done % 2 ? times[done / 2] : (times[done / 2 - 1] + times[done / 2]) / 2;
  printf("%s: runs %d, min %.1f ms, median %.1f ms, max %.1f ms", view ? "Ctrl+A" : "Ctrl+Z",
         done, times[0], median, times[done - 1]);
  if (trace) printf(", %d with traces", traced);
  printf("%s\n", failed ? ", some runs timed out" : "");
  XCloseDisplay(display);
  return failed ? 1 : 0;
}
