#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Win32 path parsing changes what it is given: it drops a trailing dot or blank from a name
// ("dir.\x.tmp" reaches "dir\x.tmp"), turns "/" into "\", and stops at MAX_PATH. The "\\?\" form
// passes a path through untouched, so every file-system call takes its path in that form,
// built here from the ordinary form that rows, messages and the registry show.

// An absolute path taken apart: the volume ("\\?\C:", "\\?\UNC\server\share") and the names
// below it, with "." and ".." already resolved.
struct ExactPath {
  std::wstring volume;
  std::vector<std::wstring> names;

  // The volume and its first `count` names: "\\?\C:\a\b", or "\\?\C:\" for the volume's root.
  std::wstring Text(std::size_t count) const;
  std::wstring Text() const { return Text(names.size()); }
  // The same in the ordinary form: "C:\a\b", "\\server\share\a".
  std::wstring OrdinaryText(std::size_t count) const;
  std::wstring OrdinaryText() const { return OrdinaryText(names.size()); }
};

// The exact form of an ordinary path. Names are taken as written; "\" and "/" both separate,
// runs of separators count as one, "." and ".." are resolved textually (never above the
// volume), as Win32 does. A relative path ("src", ".", "C:src", "\src") is resolved against the
// process's current directory (of that drive), as Win32 does. False for a path that holds a
// NUL.
bool ToExactPath(const std::wstring& ordinary, ExactPath& exact);

// The exact form of a row path of the scan of `root`, and the anchor: how many of its leading
// names the row shares with the root after resolving its ".." steps. The scan chose the
// directories up to the anchor (the root itself, or where a pattern's ".." led); the names
// below it are what the scan's listings found. False for a path that does not begin with the
// root (WithoutTrailingSeparators(root) followed by "\"), that names nothing below the anchor,
// or that holds a NUL. An empty root stands for a scan not known: the anchor is then the
// volume.
bool ToExactRowPath(const std::string& root, const std::string& path, ExactPath& exact,
                    std::size_t& anchor);

// Whether Win32 parsing leaves an absolute ordinary path as it is (no name loses a trailing dot
// or blank, no device name, shorter than MAX_PATH), so that a call taking only ordinary paths
// reaches the very file the exact form names.
bool ParsesUnchanged(const std::wstring& ordinary);

// The exact form of a search string: the directory part exact, the pattern with the trailing
// dots and blanks removed that Win32 parsing would remove, so that it matches what it matched
// in the ordinary form. Empty for a search that names no pattern (one ending in a separator,
// or whose pattern is only dots and blanks) or that holds a NUL.
std::wstring ToExactSearch(const std::wstring& search);
