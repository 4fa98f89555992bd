#pragma once
// The drive table of a Wine-style prefix: drive X: is the target of the link
// dosdevices/x: inside the prefix folder ($WINEPREFIX, or ~/.wine). Windows
// paths become host paths only here.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

class DriveTable {
 public:
  explicit DriveTable(std::filesystem::path prefix) : prefix_(std::move(prefix)) {}
  // $WINEPREFIX, or ~/.wine when it is unset or empty.
  static DriveTable FromEnvironment();

  const std::filesystem::path& Prefix() const { return prefix_; }

  // The host folder of a drive letter; nullopt when the drive has no link.
  std::optional<std::filesystem::path> DriveRoot(char letter) const;

  // The host folders the drives stand for, each drive link's target with
  // every link resolved. A drive whose folder holds the prefix itself (Wine's
  // "z:" on the host's root, a drive on the home folder) is a window onto the
  // host rather than a drive of its own, and is left out; so is a link that
  // leads to no folder.
  std::vector<std::filesystem::path> CartelleUnita() const;

  // The host path of an existing file or folder, each component matched
  // exactly or, failing that, ignoring letter case. nullopt when any
  // component is missing (or the drive is).
  std::optional<std::filesystem::path> Resolve(std::string_view windowsPath) const;

  // The host path for a file to be created: the folder must exist (resolved
  // as above); the last component keeps an existing entry's name when one
  // matches ignoring case, and otherwise the case it was given. nullopt when
  // the folder is missing.
  std::optional<std::filesystem::path> ResolveForCreate(std::string_view windowsPath) const;

  // True for "C:\..." style paths this table can map at all.
  static bool IsDrivePath(std::string_view windowsPath);

  // What a lookup found. The file service needs to tell a missing file from
  // a missing folder, and wants the entry's mode without asking again.
  struct Lookup {
    enum class State { Found, LeafMissing, FolderMissing };
    State state = State::FolderMissing;
    // Found: the entry. LeafMissing: the path a new entry takes (the folder
    // resolved, the name as given). FolderMissing: empty.
    std::filesystem::path host;
    // st_mode and st_size of the entry (symbolic links followed) when Found.
    unsigned mode = 0;
    unsigned long long size = 0;
  };
  // The lookup behind Resolve and ResolveForCreate. "." and ".." are taken
  // lexically; ".." stops at the drive root.
  Lookup Find(std::string_view windowsPath) const;

 private:
  std::filesystem::path prefix_;
};

}  // namespace cw
