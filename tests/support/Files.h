#pragma once

#include <string>
#include <vector>

// Reading and writing whole files in tests. Failures throw std::runtime_error, so that a test
// never goes on with an empty file it did not mean to have.
namespace testsupport {

// The bytes of the file at path.
std::string readFile(const std::string& path);
// Replaces the file at path with content, making its folders first, then gives it mode.
void writeFile(const std::string& path, const std::string& content, unsigned mode = 0644);
// Makes the folder at path and its parents (none when they exist).
void makeFolders(const std::string& path);
// Every path under folder (files and folders, not folder itself), sorted; none when folder
// does not exist.
std::vector<std::string> listTree(const std::string& folder);

}  // namespace testsupport
