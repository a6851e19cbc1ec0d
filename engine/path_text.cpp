#include "engine/path_text.h"

std::string WithoutTrailingSeparators(const std::string& directory) {
  std::string::size_type end = directory.size();
  while (end > 0 && directory[end - 1] == '\\') --end;
  return directory.substr(0, end);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  std::string path = WithoutTrailingSeparators(directory);
  path += '\\';
  path += name;
  return path;
}
