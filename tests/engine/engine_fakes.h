#pragma once

#include "engine/directory_reader.h"
#include "engine/path_text.h"
#include "engine/progress_operations.h"
#include "engine/result_list.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// An in-memory drive C: that enumerates as the scan expects of the file system: wildcards
// against the long or the short name, "." and ".." in every directory but the root, "\" and "/"
// alike, "." and ".." in paths as text, nothing beyond 259 characters, and directories that are
// reparse points, optionally showing another directory's entries. Entries come in the order
// added; every search is logged.
class FakeFileSystem : public FileEnumeration {
 public:
  Texts searches;

  // Paths are absolute ("C:\a\b"); missing parents become plain directories.
  void AddDirectory(const std::string& path) { Resolve(path, true); }
  void AddFile(const std::string& path, const std::string& shortName = "") {
    Add(path, false)->entry.shortName = shortName;
  }
  void AddLink(const std::string& path, const std::string& target = "") {
    Node* link = Add(path, true);
    link->entry.isReparsePoint = true;
    if (!target.empty()) link->shows = Resolve(target, true)->shows;
  }

  std::vector<FoundEntry> Enumerate(const std::string& search) override {
    searches.push_back(search);
    const std::string::size_type maskStart = search.find_last_of("\\/") + 1;  // npos + 1 = 0
    const std::string mask = search.substr(maskStart);
    Texts names;
    const Node* directory = Resolve(search.substr(0, maskStart), false, &names);
    std::string fullPath = "C:\\" + mask;
    for (const std::string& name : names) fullPath += name + "\\";
    const auto characters =
        std::count_if(fullPath.begin(), fullPath.end(), [](char c) { return (c & 0xC0) != 0x80; });
    if (directory == nullptr || mask.empty() || characters > 259) return {};
    std::vector<FoundEntry> entries;
    if (directory != &root_) entries = {{".", "", true, false}, {"..", "", true, false}};
    for (const auto& child : directory->shows->children) entries.push_back(child->entry);
    const auto noMatch = [&mask](const FoundEntry& e) {
      return !Matches(mask, e.name) && (e.shortName.empty() || !Matches(mask, e.shortName));
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), noMatch), entries.end());
    return entries;
  }

 private:
  struct Node {
    FoundEntry entry{"", "", true, false};
    Node* shows = this;  // whose entries it holds: a link's target
    std::vector<std::unique_ptr<Node>> children;
  };

  static bool IsSeparator(char c) { return c == '\\' || c == '/'; }
  static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

  // "*" any run, "?" one byte, ASCII letters without case, "." and "*" left at the end of the
  // mask match the end of the name, "*.*" all.
  static bool Matches(const std::string& mask, const std::string& name) {
    return mask == "*.*" || Matches(mask.c_str(), name.c_str());
  }
  static bool Matches(const char* mask, const char* name) {
    if (*name == '\0') {
      return *mask == '\0' || ((*mask == '.' || *mask == '*') && Matches(mask + 1, name));
    }
    if (*mask == '*') return Matches(mask + 1, name) || Matches(mask, name + 1);
    return (*mask == '?' || (*mask != '\0' && Lower(*mask) == Lower(*name))) &&
           Matches(mask + 1, name + 1);
  }

  // The directory a path names, created when asked; its names below the root go to *names.
  Node* Resolve(const std::string& path, bool create, Texts* names = nullptr) {
    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    if (hasDrive && Lower(path[0]) != 'c') return nullptr;
    Texts walked;
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
    Node* node = &root_;
    for (const std::string& name : walked) {
      auto& children = node->shows->children;
      const auto child = std::find_if(children.begin(), children.end(), [&name](const auto& c) {
        return c->entry.isDirectory && EqualIgnoringAsciiCase(c->entry.name, name);
      });
      if (child == children.end() && !create) return nullptr;
      node = child != children.end() ? child->get() : Add(name, true, children);
    }
    if (names != nullptr) *names = walked;
    return node;
  }

  Node* Add(const std::string& path, bool isDirectory) {
    const std::string::size_type separator = path.find_last_of('\\');
    return Add(path.substr(separator + 1), isDirectory,
               Resolve(path.substr(0, separator), true)->shows->children);
  }
  static Node* Add(const std::string& name, bool isDirectory,
                   std::vector<std::unique_ptr<Node>>& siblings) {
    siblings.push_back(std::make_unique<Node>());
    siblings.back()->entry = FoundEntry{name, "", isDirectory, false};
    return siblings.back().get();
  }

  Node root_;
};

// A result list and a progress that log what a worker does, in order: "row 3 C:\a.tmp",
// "status C:\x", "cancel?", "show", "step", ...; onEvent sees each entry as it is logged.
class WorkerLog : public ResultList, public ProgressOperations {
 public:
  Texts log;
  Texts numbers;
  Texts paths;
  int failingAppend = -1;  // by the 0-based count of AppendRow calls
  bool cancelFlag = false;
  std::function<void(const std::string& entry)> onEvent;

  Texts StatusTexts() const {
    Texts texts;
    for (const std::string& entry : log) {
      if (entry.rfind("status ", 0) == 0) texts.push_back(entry.substr(7));
    }
    return texts;
  }

  int RowCount() override { return static_cast<int>(paths.size()); }
  int AppendRow(int number, const std::string& path) override {
    if (appends_++ == failingAppend) return -1;
    numbers.push_back(std::to_string(number));
    paths.push_back(path);
    Log("row " + numbers.back() + " " + path);
    return RowCount() - 1;
  }
  void SetRedraw(bool on) override { Log(on ? "redraw 1" : "redraw 0"); }
  RowHandle FirstRow() override { return kNoRow; }
  RowHandle NextRow(RowHandle) override { return kNoRow; }
  bool IsRowTicked(RowHandle) override { return false; }
  std::string RowPath(RowHandle) override { return {}; }
  void RemoveRow(RowHandle) override {}

  void SetCaption(const std::string& text) override { Log("caption " + text); }
  void SetStatusText(const std::string& text) override { Log("status " + text); }
  void ShowProgressBar(bool show) override { Log(show ? "bar 1" : "bar 0"); }
  void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) override {
    Log("range " + std::to_string(lower) + ".." + std::to_string(upper) + " by " +
        std::to_string(step));
    cancelFlag = false;
  }
  void StepProgress() override { Log("step"); }
  void ShowProgress() override { Log("show"), cancelFlag = false; }
  void HideProgress() override { Log("hide"); }
  bool CancelRequested() override { return Log("cancel?"), cancelFlag; }

 private:
  void Log(const std::string& entry) {
    log.push_back(entry);
    if (onEvent) onEvent(entry);
  }
  int appends_ = 0;
};
