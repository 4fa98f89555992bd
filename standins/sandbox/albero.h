#pragma once
// Drives C: and D: of a sandbox as host folders: Windows paths become paths
// below drive_c and drive_d, folders are made on the way, and an existing
// folder is found ignoring letter case, as the tool itself will look it up.
// Nothing here follows a symbolic link: a link met on the way is refused, so
// no write can land outside the sandbox.

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cw::sandbox {

class Albero {
 public:
  explicit Albero(std::filesystem::path prefisso) : prefisso_(std::move(prefisso)) {}

  // The host folder of a Windows folder ("C:\Progetti VB\Wexo"), made with
  // its parents when missing.
  std::filesystem::path Cartella(std::string_view windows);
  // Writes a file (parent folders made); an existing file is replaced.
  void ScriviFile(std::string_view windows, std::string_view byte);
  // Copies a host file to a Windows path, keeping its permission bits so a
  // program stays runnable. A file or link already there is replaced, never
  // written through.
  void CopiaFile(const std::filesystem::path& origine, std::string_view windows);
  // Puts a symbolic link to a host file (made absolute) at a Windows path,
  // for a program that finds its companions beside its own real path.
  void CollegaFile(const std::filesystem::path& origine, std::string_view windows);

  int FileScritti() const { return fileScritti_; }

 private:
  struct Nota {
    std::filesystem::path host;
    bool nuova;  // made in this run: holds only what the cache knows
  };
  std::filesystem::path Radice(char lettera);
  std::filesystem::path File(std::string_view windows);

  std::filesystem::path prefisso_;
  std::unordered_map<std::string, Nota> cartelle_;  // "c:\progetti vb" -> host folder
  int fileScritti_ = 0;
};

// A Windows path cut into its drive letter (lower case) and components;
// "." and ".." and a missing drive are refused.
struct PercorsoWindows {
  char lettera = 0;
  std::vector<std::string> parti;
};
PercorsoWindows Scomponi(std::string_view windows);

}  // namespace cw::sandbox
