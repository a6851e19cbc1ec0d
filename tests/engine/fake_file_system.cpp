#include "tests/engine/fake_file_system.h"

#include "engine/path_text.h"

#include <algorithm>

struct FakeFileSystem::Node {
  std::string name;
  std::string shortName;
  bool isDirectory = true;
  bool isReparsePoint = false;
  Node* shows = this;  // whose entries it holds: a link's target
  std::vector<std::unique_ptr<Node>> children;
};

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Matches(const char* mask, const char* name) {
  if (*name == '\0') {
    while (*mask == '.' || *mask == '*') ++mask;
    return *mask == '\0';
  }
  if (*mask == '*') return Matches(mask + 1, name) || Matches(mask, name + 1);
  if (*mask == '?' || (*mask != '\0' && Lower(*mask) == Lower(*name))) {
    return Matches(mask + 1, name + 1);
  }
  return false;
}

}  // namespace

bool WildcardMatches(const std::string& mask, const std::string& name) {
  return mask == "*.*" || Matches(mask.c_str(), name.c_str());
}

FakeFileSystem::FakeFileSystem() : root_(std::make_unique<Node>()) {}

FakeFileSystem::~FakeFileSystem() = default;

FakeFileSystem::Node* FakeFileSystem::Resolve(const std::string& path, bool create,
                                              std::vector<std::string>* names) {
  std::vector<std::string> walked = current_;
  std::string rest = path;
  if (rest.size() >= 2 && rest[1] == ':') {
    if (Lower(rest[0]) != 'c') return nullptr;
    rest = rest.substr(2);
    walked.clear();
  } else if (!rest.empty() && IsSeparator(rest[0])) {
    walked.clear();
  }
  std::string component;
  for (std::string::size_type i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !IsSeparator(rest[i])) {
      component += rest[i];
      continue;
    }
    if (component == "..") {
      if (!walked.empty()) walked.pop_back();
    } else if (!component.empty() && component != ".") {
      walked.push_back(component);
    }
    component.clear();
  }
  Node* node = root_.get();
  for (const std::string& name : walked) {
    Node* holder = node->shows;
    const auto child = std::find_if(holder->children.begin(), holder->children.end(),
                                    [&name](const std::unique_ptr<Node>& c) {
                                      return c->isDirectory && EqualIgnoringAsciiCase(c->name, name);
                                    });
    if (child != holder->children.end()) {
      node = child->get();
    } else if (create) {
      holder->children.push_back(std::make_unique<Node>());
      node = holder->children.back().get();
      node->name = name;
    } else {
      return nullptr;
    }
  }
  if (names != nullptr) *names = walked;
  return node;
}

FakeFileSystem::Node* FakeFileSystem::Add(const std::string& path, bool isDirectory) {
  const std::string::size_type separator = path.find_last_of('\\');
  Node* parent = Resolve(path.substr(0, separator), true)->shows;
  parent->children.push_back(std::make_unique<Node>());
  Node* node = parent->children.back().get();
  node->name = path.substr(separator + 1);
  node->isDirectory = isDirectory;
  return node;
}

void FakeFileSystem::AddDirectory(const std::string& path) { Resolve(path, true); }

void FakeFileSystem::AddFile(const std::string& path, const std::string& shortName) {
  Add(path, false)->shortName = shortName;
}

void FakeFileSystem::AddLink(const std::string& path, const std::string& target) {
  Node* link = Add(path, true);
  link->isReparsePoint = true;
  if (!target.empty()) link->shows = Resolve(target, true)->shows;
}

void FakeFileSystem::SetCurrentDirectory(const std::string& path) {
  Resolve(path, true, &current_);
}

std::vector<FoundEntry> FakeFileSystem::Enumerate(const std::string& specification) {
  searches.push_back(specification);
  const std::string::size_type separator = specification.find_last_of("\\/");
  const std::string::size_type maskStart = separator == std::string::npos ? 0 : separator + 1;
  const std::string mask = specification.substr(maskStart);
  std::vector<std::string> names;
  const Node* directory = Resolve(specification.substr(0, maskStart), false, &names);
  std::string fullPath = "C:\\" + mask;
  for (const std::string& name : names) fullPath += name + "\\";
  const auto characters = std::count_if(fullPath.begin(), fullPath.end(),
                                        [](char c) { return (c & 0xC0) != 0x80; });
  if (directory == nullptr || mask.empty() || characters > 259) return {};

  std::vector<FoundEntry> found;
  auto offer = [&found, &mask](const std::string& name, const std::string& shortName,
                               bool isDirectory, bool isReparsePoint) {
    if (WildcardMatches(mask, name) || (!shortName.empty() && WildcardMatches(mask, shortName))) {
      found.push_back(FoundEntry{name, shortName, isDirectory, isReparsePoint});
    }
  };
  if (directory != root_.get()) {
    offer(".", "", true, false);
    offer("..", "", true, false);
  }
  for (const auto& child : directory->shows->children) {
    offer(child->name, child->shortName, child->isDirectory, child->isReparsePoint);
  }
  return found;
}
