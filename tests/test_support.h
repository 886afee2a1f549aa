// Helpers shared by the test programs.
#pragma once
#include <string>
#include <vector>

namespace kvtest {

// A fresh, empty folder below the test's working folder (removed first if it exists).
std::string TempDir(const std::string& name);

// Writes bytes to a file; returns false when it cannot.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Reads a whole file; empty when it cannot.
std::vector<unsigned char> ReadFileBytes(const std::string& path);

}  // namespace kvtest
