#pragma once

#include <string>

namespace testsupport {

// A throw-away folder for one test (or one test program), made under TMPDIR (else /tmp) as
// <prefix>-XXXXXX. On destruction everything in it is removed, also below folders a test took
// the permissions from.
class ScratchFolder {
 public:
  // Throws std::runtime_error when the folder cannot be made.
  explicit ScratchFolder(const std::string& prefix = "zanth-test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& root() const { return root_; }
  // root/relative; nothing is made.
  std::string path(const std::string& relative) const { return root_ + "/" + relative; }

  // Writes a file below root (folders made as needed) and returns its full path; throws as
  // writeFile does.
  std::string write(const std::string& relative, const std::string& content,
                    unsigned mode = 0644) const;
  // Makes a folder below root (and its parents) and returns its full path.
  std::string makeFolder(const std::string& relative) const;

 private:
  std::string root_;
};

}  // namespace testsupport
