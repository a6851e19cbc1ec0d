#include "tests/engine/scan_fakes.h"

#include "engine/path_text.h"

#include <algorithm>

struct FakeFileSystem::Node {
  FoundEntry entry{"", "", true, false};
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
  return (*mask == '?' || (*mask != '\0' && Lower(*mask) == Lower(*name))) &&
         Matches(mask + 1, name + 1);
}

}  // namespace

bool WildcardMatches(const std::string& mask, const std::string& name) {
  return mask == "*.*" || Matches(mask.c_str(), name.c_str());
}

FakeFileSystem::FakeFileSystem() : root_(std::make_unique<Node>()) {}

FakeFileSystem::~FakeFileSystem() = default;

FakeFileSystem::Node* FakeFileSystem::Resolve(const std::string& path, bool create, Texts* names) {
  const bool hasDrive = path.size() >= 2 && path[1] == ':';
  if (hasDrive && Lower(path[0]) != 'c') return nullptr;
  Texts walked = (hasDrive || (!path.empty() && IsSeparator(path[0]))) ? Texts{} : current_;
  std::string component;
  for (std::string::size_type i = hasDrive ? 2 : 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) {
      component += path[i];
      continue;
    }
    if (component == ".." && !walked.empty()) walked.pop_back();
    if (!component.empty() && component != "." && component != "..") walked.push_back(component);
    component.clear();
  }
  Node* node = root_.get();
  for (const std::string& name : walked) {
    auto& children = node->shows->children;
    const auto child = std::find_if(children.begin(), children.end(), [&name](const auto& c) {
      return c->entry.isDirectory && EqualIgnoringAsciiCase(c->entry.name, name);
    });
    if (child != children.end()) {
      node = child->get();
      continue;
    }
    if (!create) return nullptr;
    children.push_back(std::make_unique<Node>());
    node = children.back().get();
    node->entry.name = name;
  }
  if (names != nullptr) *names = walked;
  return node;
}

FakeFileSystem::Node* FakeFileSystem::Add(const std::string& path, bool isDirectory) {
  const std::string::size_type separator = path.find_last_of('\\');
  auto& siblings = Resolve(path.substr(0, separator), true)->shows->children;
  siblings.push_back(std::make_unique<Node>());
  siblings.back()->entry = FoundEntry{path.substr(separator + 1), "", isDirectory, false};
  return siblings.back().get();
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& shortName) {
  Add(path, false)->entry.shortName = shortName;
}

void FakeFileSystem::AddLink(const std::string& path, const std::string& target) {
  Node* link = Add(path, true);
  link->entry.isReparsePoint = true;
  if (!target.empty()) link->shows = Resolve(target, true)->shows;
}

std::vector<FoundEntry> FakeFileSystem::Enumerate(const std::string& specification) {
  searches.push_back(specification);
  const std::string::size_type maskStart = specification.find_last_of("\\/") + 1;  // npos + 1 = 0
  const std::string mask = specification.substr(maskStart);
  Texts names;
  const Node* directory = Resolve(specification.substr(0, maskStart), false, &names);
  std::string fullPath = "C:\\" + mask;
  for (const std::string& name : names) fullPath += name + "\\";
  const auto characters =
      std::count_if(fullPath.begin(), fullPath.end(), [](char c) { return (c & 0xC0) != 0x80; });
  if (directory == nullptr || mask.empty() || characters > 259) return {};
  std::vector<FoundEntry> entries;
  if (directory != root_.get()) entries = {{".", "", true, false}, {"..", "", true, false}};
  for (const auto& child : directory->shows->children) entries.push_back(child->entry);
  const auto noMatch = [&mask](const FoundEntry& e) {
    return !WildcardMatches(mask, e.name) && (e.shortName.empty() || !WildcardMatches(mask, e.shortName));
  };
  entries.erase(std::remove_if(entries.begin(), entries.end(), noMatch), entries.end());
  return entries;
}

int FakeScanWindow::AppendRow(const std::string& numberText) {
  if (failingAppends.count(appends_++) != 0) return -1;
  numbers.push_back(numberText);
  paths.emplace_back();
  return RowCount() - 1;
}

void FakeScanWindow::SetRowPath(int row, const std::string& path) {
  paths.at(static_cast<std::size_t>(row)) = path;
  log.push_back("row " + numbers.at(static_cast<std::size_t>(row)) + " " + path);
  if (onRow) onRow(path);
}

void FakeScanWindow::SetStatusText(const std::string& text) {
  log.push_back("status " + text);
  if (onStatus) onStatus(text);
}

Texts FakeScanWindow::StatusTexts() const {
  Texts texts;
  for (const std::string& event : log) {
    if (event.rfind("status ", 0) == 0) texts.push_back(event.substr(7));
  }
  return texts;
}
