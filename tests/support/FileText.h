#pragma once

#include <string>
#include <vector>

namespace trivane::test {

// Whole-file helpers for checking what the code under test wrote.
void WriteText(const std::string& path, const std::string& text);  // throws when it cannot
std::string ReadText(const std::string& path);                      // empty when unreadable
bool FileExists(const std::string& path);                           // without following a last link
std::vector<std::string> FolderEntries(const std::string& path);    // names, sorted

}  // namespace trivane::test
