#pragma once

#include "engine/removal_outcome.h"

#include <string>

// The five ways of removing one file, given its full path (UTF-8). Each tells what became of
// the file: removed, or why it stays. None asks, reports or retries.
class RemovalOperations {
 public:
  virtual ~RemovalOperations() = default;
  virtual RemovalOutcome PlainDelete(const std::string& path) = 0;
  virtual RemovalOutcome ForcedDelete(const std::string& path) = 0;
  virtual RemovalOutcome ShredFile(const std::string& path) = 0;
  virtual RemovalOutcome RecycleFile(const std::string& path) = 0;
  virtual RemovalOutcome DeleteAtRestart(const std::string& path) = 0;
};
