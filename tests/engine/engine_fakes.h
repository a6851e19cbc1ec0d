#pragma once

#include "engine/file_enumeration.h"
#include "engine/path_text.h"
#include "engine/progress_operations.h"
#include "engine/result_list.h"

#include <algorithm>
#include <functional>
#include <new>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// An in-memory drive C: that enumerates as the file system does: wildcards against the long or
// the short name, "." and ".." in every directory but the root, "\" and "/" alike, "." and ".."
// in paths as text, nothing beyond 259 characters, links holding nothing; entries in the order
// added, every search logged. Missing parents of what is added become plain directories. A
// directory's identity is its place among what was added, counted from 1 (the drive's root 0).
class FakeFileSystem : public FileEnumeration {
 public:
  Texts searches;
  bool failing = false;  // every search throws

  void AddFile(const std::string& path, const std::string& shortName = "", std::uint64_t size = 0) {
    Add(path, {"", shortName, false, false, size});
  }
  void AddDirectory(const std::string& path) { Add(path, {"", "", true, false}); }
  void AddLink(const std::string& path) { Add(path, {"", "", true, true}); }

  bool IdentifyDirectory(const std::string& directory, DirectoryIdentity& identity) override {
    const std::string key = Key(directory);
    const auto node = std::find_if(nodes_.begin(), nodes_.end(), [&](const Node& n) { return n.key == key; });
    if (key != "c:\\" && (node == nodes_.end() || !node->entry.isDirectory)) return false;
    identity = {1, key == "c:\\" ? 0 : static_cast<std::uint64_t>(node - nodes_.begin()) + 1};
    return true;
  }

  std::vector<FoundEntry> Enumerate(const std::string& search) override {
    if (failing) throw std::bad_alloc();
    searches.push_back(search);
    const std::string::size_type maskStart = search.find_last_of("\\/") + 1;  // npos + 1 = 0
    const std::string mask = search.substr(maskStart);
    const std::string directory = Key(search.substr(0, maskStart));
    const std::string full = directory + mask;
    const auto characters = std::count_if(full.begin(), full.end(), [](char c) { return (c & 0xC0) != 0x80; });
    if (mask.empty() || !Exists(directory) || characters > 259) return {};
    std::vector<FoundEntry> entries, found;
    if (directory != "c:\\") entries = {{".", "", true, false}, {"..", "", true, false}};
    for (const Node& node : nodes_) if (node.parent == directory) entries.push_back(node.entry);
    for (const FoundEntry& e : entries) {
      if (Matches(mask, e.name) || (!e.shortName.empty() && Matches(mask, e.shortName))) found.push_back(e);
    }
    return found;
  }

 private:
  // "*" any run, "?" one byte, ASCII letters without case, "." and "*" left at the end of the
  // mask match the end of the name, "*.*" all.
  static bool Matches(const std::string& mask, const std::string& name) {
    return mask == "*.*" || Matches(mask.c_str(), name.c_str());
  }
  static bool Matches(const char* mask, const char* name) {
    if (*name == '\0') return *mask == '\0' || ((*mask == '.' || *mask == '*') && Matches(mask + 1, name));
    if (*mask == '*') return Matches(mask + 1, name) || Matches(mask, name + 1);
    return (*mask == '?' || (*mask != '\0' && AsciiLower(*mask) == AsciiLower(*name))) && Matches(mask + 1, name + 1);
  }

  // The directory a path names, as "c:\a\b\" in lower case; empty on another drive.
  static std::string Key(const std::string& path) {
    if (path.size() < 2 || path[1] != ':' || AsciiLower(path[0]) != 'c') return "";
    Texts names;
    std::string name;
    for (std::string::size_type i = 2; i <= path.size(); ++i) {
      if (i < path.size() && path[i] != '\\' && path[i] != '/') {
        name += AsciiLower(path[i]);
        continue;
      }
      if (name == ".." && !names.empty()) names.pop_back();
      if (!name.empty() && name != "." && name != "..") names.push_back(name);
      name.clear();
    }
    std::string key = "c:\\";
    for (const std::string& n : names) key += n + "\\";
    return key;
  }
  bool Exists(const std::string& key) const {
    return key == "c:\\" || std::any_of(nodes_.begin(), nodes_.end(), [&key](const Node& node) {
             return node.entry.isDirectory && node.key == key;
           });
  }
  void Add(const std::string& path, FoundEntry entry) {
    const std::string::size_type separator = path.find_last_of('\\');
    const std::string parent = path.substr(0, separator);
    if (!Exists(Key(parent))) AddDirectory(parent);
    entry.name = path.substr(separator + 1);
    if (!Exists(Key(path))) nodes_.push_back({Key(parent), Key(path), entry});
  }

  struct Node {
    std::string parent, key;  // as Key gives them
    FoundEntry entry;
  };
  std::vector<Node> nodes_;
};

// A result list and a progress that log what a worker does, in order: "row 3 C:\a.tmp",
// "status C:\x", "cancel?", "show", "step", ...; onEvent sees each entry as it is logged.
class WorkerLog : public ResultList, public ProgressOperations {
 public:
  Texts log, numbers, paths, statuses;
  int failingAppend = -1;  // by the 0-based count of AppendRow calls
  bool cancelFlag = false;
  std::function<void(const std::string& entry)> onEvent;

  int RowCount() override { return static_cast<int>(paths.size()); }
  int AppendRow(int number, const FoundFile& file) override {
    if (appends_++ == failingAppend) return -1;
    numbers.push_back(std::to_string(number));
    paths.push_back(file.path);
    Log("row " + numbers.back() + " " + file.path + (file.size == 0 ? "" : " " + std::to_string(file.size)));
    return RowCount() - 1;
  }
  void SetRedraw(bool on) override { Log(on ? "redraw 1" : "redraw 0"); }
  RowHandle FirstRow() override { return kNoRow; }
  RowHandle NextRow(RowHandle) override { return kNoRow; }
  bool IsRowTicked(RowHandle) override { return false; }
  std::string RowPath(RowHandle) override { return {}; }
  void SetOutcome(RowHandle, const RemovalOutcome&) override {}

  void SetCaption(const std::string& text) override { Log("caption " + text); }
  void SetStatusText(const std::string& text) override { statuses.push_back(text), Log("status " + text); }
  void ShowProgressBar(bool show) override { Log(show ? "bar 1" : "bar 0"); }
  void StartProgress(std::int32_t lower, std::int32_t upper, std::int32_t step) override {
    Log("range " + std::to_string(lower) + ".." + std::to_string(upper) + " by " + std::to_string(step));
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
