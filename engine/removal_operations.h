#pragma once

#include <string>

// The five ways of removing one file, given its full path (UTF-8). Each answers only whether
// the file has left its place as far as the user is concerned; none asks, reports or retries.
class RemovalOperations {
 public:
  virtual ~RemovalOperations() = default;
  virtual bool PlainDelete(const std::string& path) = 0;
  virtual bool ForcedDelete(const std::string& path) = 0;
  virtual bool ShredFile(const std::string& path) = 0;
  virtual bool RecycleFile(const std::string& path) = 0;
  virtual bool DeleteAtRestart(const std::string& path) = 0;
};
