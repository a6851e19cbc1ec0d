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
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}
