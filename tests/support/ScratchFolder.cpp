#include "tests/support/ScratchFolder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tests/support/Files.h"

namespace testsupport {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder " + pattern);
  root_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  // Tests may have taken permissions away; give them back so that everything can go.
  for (auto it = fs::recursive_directory_iterator(root_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) ::chmod(it->path().c_str(), 0700);
  }
  fs::remove_all(root_, ignored);
}

std::string ScratchFolder::write(const std::string& relative, const std::string& content,
                                 unsigned mode) const {
  writeFile(path(relative), content, mode);
  return path(relative);
}

std::string ScratchFolder::makeFolder(const std::string& relative) const {
  makeFolders(path(relative));
  return path(relative);
}

}  // namespace testsupport
