#pragma once

#include <cstdint>

// The program's own reasons for leaving a file where it was, where the system raised no error
// of its own. The window shows each as a short text.
enum class Refusal : std::uint8_t {
  kNotAPlainFile = 1,    // a directory, a link or nothing stands where the row's file was
  kLinkOnTheWay,         // a directory on the row's path is a link, junction or mount point,
                         // or is no longer the entry of that name
  kOutsideScan,          // the path does not lie below the scanned directory
  kReadOnly,             // shred: a read-only file is not overwritten
  kNotWhollyOverwritten, // shred: the zeros did not reach the file's old end, or were not flushed
  kNameChangedByParsing, // recycle: the shell would reach another file by that name
  kNoRecycleBin,         // recycle: the file would be deleted for good
  kOtherNames,           // shred: the file has other names (hard links), whose data the zeros
                         // would reach
  kStillThere,           // the deletion was accepted, yet the name is still there after it
  kZerosMissTheData,     // shred: sparse, compressed or encrypted, so the zeros would miss the old
                         // data (or, for a sparse file, take new space)
  kNamedStreams,         // shred: the file has named data streams, which the zeros would not reach
  kNetworkDrive,         // shred: on a network drive, where the server decides where data goes
  kCancelled,            // the user cancelled the removal in hand; the file stays under its name
  kKeptOutOfBin,         // recycle: the bin could not take the file, and the user kept it
  kNameNotText,          // the path holds U+FFFD, where the system could not give a name as text
  kAnchorReplaced,       // the scanned directory, or one a pattern's ".." reached, is no longer
                         // the directory the scan walked
  kChangeableDrive,      // at restart: on a removable or network drive, whose letter may name
                         // another medium or share by then
};

// What became of one removal: nothing tried yet, the file removed, or why it stayed (an error
// the system gave, or a refusal of the program's own).
class RemovalOutcome {
 public:
  enum class Kind : std::uint8_t { kNotTried, kRemoved, kSystemError, kRefused };

  RemovalOutcome() = default;
  static RemovalOutcome Removed() { return RemovalOutcome(Kind::kRemoved, 0); }
  static RemovalOutcome SystemError(std::uint32_t code) { return RemovalOutcome(Kind::kSystemError, code); }
  static RemovalOutcome Refused(Refusal reason) {
    return RemovalOutcome(Kind::kRefused, static_cast<std::uint32_t>(reason));
  }

  Kind kind() const { return kind_; }
  bool removed() const { return kind_ == Kind::kRemoved; }
  // The system's error code, or the Refusal as a number.
  std::uint32_t code() const { return code_; }
  Refusal refusal() const { return static_cast<Refusal>(code_); }

  friend bool operator==(const RemovalOutcome& a, const RemovalOutcome& b) {
    return a.kind_ == b.kind_ && a.code_ == b.code_;
  }
  friend bool operator!=(const RemovalOutcome& a, const RemovalOutcome& b) { return !(a == b); }

 private:
  RemovalOutcome(Kind kind, std::uint32_t code) : kind_(kind), code_(code) {}

  Kind kind_ = Kind::kNotTried;
  std::uint32_t code_ = 0;
};
