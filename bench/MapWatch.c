/* Time from starting a program to its first window being mapped on the X display named by
 * DISPLAY, as the X server reports it (MapNotify of a top-level window). It watches from outside,
 * so any program is measured the same way and needs nothing added for it.
 *
 *   map_watch <seconds> <program> [<argument>...]
 *
 * Prints the milliseconds on standard output, then ends the program (SIGTERM) and waits for it.
 * Exits 0 when a window was mapped, 1 when the program ended or <seconds> passed before that,
 * 2 on a usage error or without a display. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static double nowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* True once a window that is not override-redirect (a menu or tooltip) was mapped as a child of
 * the root window: without a window manager, that is every top-level window. */
static int topLevelMapped(Display* display) {
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && !event.xmap.override_redirect) return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s <seconds> <program> [<argument>...]\n", argv[0]);
    return 2;
  }
  const double limitMs = atof(argv[1]) * 1e3;
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 2;
  }
  /* Watching starts before the program does, so no map can be missed. */
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const double start = nowMs();
  pid_t child;
  if (posix_spawn(&child, argv[2], NULL, NULL, argv + 2, environ) != 0) {
    perror(argv[2]);
    return 2;
  }
  double mapped = -1;
  int ended = 0;
  for (;;) {
    if (topLevelMapped(display)) {
      mapped = nowMs();
      break;
    }
    if (ended || nowMs() - start > limitMs) break;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, 5);
    ended = waitpid(child, NULL, WNOHANG) == child;
    /* Whatever the program mapped before it ended has reached us after one round trip. */
    if (ended) XSync(display, False);
  }
  if (mapped >= 0) printf("%.3f\n", mapped - start);
  if (!ended) {
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
  }
  XCloseDisplay(display);
  if (mapped < 0) {
    fprintf(stderr, "%s: %s mapped no window\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
