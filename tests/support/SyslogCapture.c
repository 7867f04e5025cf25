/* Test shim preloaded into the program under test: every syslog line is appended to the file
 * named by ZANTH_SYSLOG_CAPTURE as "<priority>\t<text>\n" (newlines in the text as "\n"),
 * one write per line, instead of going to the system log. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void capture(int priority, const char* format, va_list args) {
  const char* target = getenv("ZANTH_SYSLOG_CAPTURE");
  if (!target || !*target) return;
  char text[8192];
  vsnprintf(text, sizeof text, format, args);
  char line[16500];
  int n = snprintf(line, sizeof line, "%d\t", priority);
  for (const char* c = text; *c && n < (int)sizeof line - 3; ++c) {
    if (*c == '\n') {
      line[n++] = '\\';
      line[n++] = 'n';
    } else {
      line[n++] = *c;
    }
  }
  line[n++] = '\n';
  int fd = open(target, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  ssize_t ignored = write(fd, line, (size_t)n);
  (void)ignored;
  close(fd);
}

void vsyslog(int priority, const char* format, va_list args) { capture(priority, format, args); }

void syslog(int priority, const char* format, ...) {
  va_list args;
  va_start(args, format);
  capture(priority, format, args);
  va_end(args);
}

void __vsyslog_chk(int priority, int flag, const char* format, va_list args) {
  (void)flag;
  capture(priority, format, args);
}

void __syslog_chk(int priority, int flag, const char* format, ...) {
  (void)flag;
  va_list args;
  va_start(args, format);
  capture(priority, format, args);
  va_end(args);
}
