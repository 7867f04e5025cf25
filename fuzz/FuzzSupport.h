#pragma once

// Helpers shared by the fuzz targets: the readers under test take file paths, so each input is
// written to a file in a private folder made once per process.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A private folder under $TMPDIR for this process, removed with its files at exit.
inline const std::string& scratchFolder() {
  struct Folder {
    std::string path;
    Folder() {
      const char* base = std::getenv("TMPDIR");
      path = std::string(base && *base ? base : "/tmp") + "/zanth-fuzz-XXXXXX";
      if (!::mkdtemp(path.data())) std::abort();
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}

// Writes data as the whole content of path (made or truncated). Aborts when it cannot: a
// fuzz run that silently reads stale files would measure nothing.
inline void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  std::size_t written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd, data + written, size - written);
    if (n <= 0) std::abort();
    written += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

inline void writeFile(const std::string& path, std::string_view text) {
  writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Reads the whole file at path; aborts when it cannot (a fixture the target depends on).
inline std::string readFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::abort();
  }
  std::string text;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

// The input split at NUL bytes; an input without NUL is one piece.
inline std::vector<std::string> splitAtNul(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  return pieces;
}

}  // namespace fuzz

// Stops the run with a message when an invariant of the code under test does not hold;
// libFuzzer records the input as a crash.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "invariant failed at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)
