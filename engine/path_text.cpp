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

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::string_view::size_type i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}
