#include "tests/engine/fake_file_system.h"

#include "tests/engine/wildcard_match.h"

#include <stdexcept>

struct FakeFileSystem::Node {
  std::string name;
  std::string shortName;
  bool isDirectory = false;
  bool isReparsePoint = false;
  Node* linkTarget = nullptr;
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;

  Node* Contents() { return linkTarget != nullptr ? linkTarget : this; }
};

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> components;
  std::string current;
  for (char c : path) {
    if (IsSeparator(c)) {
      if (!current.empty()) components.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) components.push_back(current);
  return components;
}

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

}  // namespace

std::size_t Utf16Length(const std::string& text) {
  std::size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

FakeFileSystem::FakeFileSystem() {
  auto drive = std::make_unique<Node>();
  drive->name = "C:";
  drive->isDirectory = true;
  current_ = drive.get();
  drives_['C'] = std::move(drive);
  currentPath_ = {"C:"};
}

FakeFileSystem::~FakeFileSystem() = default;

FakeFileSystem::Node* FakeFileSystem::Resolve(const std::string& path, bool createMissing,
                                              std::string* walked) {
  Node* node = current_;
  std::string rest = path;
  std::vector<std::string> walkedNames = currentPath_;
  if (HasDrive(path)) {
    const char letter = Upper(path[0]);
    auto& drive = drives_[letter];
    if (!drive) {
      if (!createMissing) return nullptr;
      drive = std::make_unique<Node>();
      drive->name = std::string(1, letter) + ":";
      drive->isDirectory = true;
    }
    node = drive.get();
    rest = path.substr(2);
    walkedNames = {drive->name};
  } else if (!path.empty() && IsSeparator(path[0])) {
    while (node->parent != nullptr) node = node->parent;
    walkedNames.resize(1);
  }
  for (const std::string& component : Components(rest)) {
    if (component == ".") continue;
    if (component == "..") {
      if (node->parent != nullptr) node = node->parent;
      if (walkedNames.size() > 1) walkedNames.pop_back();
      continue;
    }
    walkedNames.push_back(component);
    Node* directory = node->Contents();
    Node* next = nullptr;
    for (auto& child : directory->children) {
      if (child->isDirectory && SameName(child->name, component)) next = child.get();
    }
    if (next == nullptr) {
      if (!createMissing) return nullptr;
      auto child = std::make_unique<Node>();
      child->name = component;
      child->isDirectory = true;
      child->parent = directory;
      next = child.get();
      directory->children.push_back(std::move(child));
    }
    node = next;
  }
  if (walked != nullptr) {
    walked->clear();
    for (const std::string& name : walkedNames) *walked += name + "\\";
  }
  return node;
}

FakeFileSystem::Node* FakeFileSystem::Add(const std::string& path, bool isDirectory) {
  const std::string::size_type separator = path.find_last_of("\\/");
  if (separator == std::string::npos) throw std::invalid_argument("absolute path expected");
  Node* parent = Resolve(path.substr(0, separator), true)->Contents();
  auto node = std::make_unique<Node>();
  node->name = path.substr(separator + 1);
  node->isDirectory = isDirectory;
  node->parent = parent;
  Node* added = node.get();
  parent->children.push_back(std::move(node));
  return added;
}

void FakeFileSystem::AddDirectory(const std::string& path) { Resolve(path, true); }

void FakeFileSystem::AddFile(const std::string& path, const std::string& shortName) {
  Add(path, false)->shortName = shortName;
}

void FakeFileSystem::AddLink(const std::string& path, const std::string& target) {
  Node* link = Add(path, true);
  link->isReparsePoint = true;
  if (!target.empty()) link->linkTarget = Resolve(target, true)->Contents();
}

void FakeFileSystem::SetCurrentDirectory(const std::string& path) {
  std::string walked;
  current_ = Resolve(path, true, &walked);
  currentPath_ = Components(walked);
}

std::vector<FoundEntry> FakeFileSystem::Enumerate(const std::string& specification) {
  searches_.push_back(specification);
  std::string::size_type separator = specification.find_last_of("\\/");
  std::string directoryText;
  std::string mask = specification;
  if (separator != std::string::npos) {
    directoryText = specification.substr(0, separator + 1);
    mask = specification.substr(separator + 1);
  } else if (HasDrive(specification)) {
    directoryText = specification.substr(0, 2);
    mask = specification.substr(2);
  }
  if (mask.empty()) return {};
  std::string fullPath;
  Node* directory = Resolve(directoryText, false, &fullPath);
  if (directory == nullptr) return {};
  if (Utf16Length(fullPath + mask) > 259) return {};

  std::vector<FoundEntry> found;
  auto offer = [&found, &mask](const std::string& name, const std::string& shortName,
                               bool isDirectory, bool isReparsePoint) {
    if (WildcardMatches(mask, name) || (!shortName.empty() && WildcardMatches(mask, shortName))) {
      found.push_back(FoundEntry{name, shortName, isDirectory, isReparsePoint});
    }
  };
  if (directory->parent != nullptr) {
    offer(".", "", true, false);
    offer("..", "", true, false);
  }
  for (const auto& child : directory->Contents()->children) {
    offer(child->name, child->shortName, child->isDirectory, child->isReparsePoint);
  }
  return found;
}
