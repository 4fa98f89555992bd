#include "platform/linux/drive_table_linux.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/ansi.h"

namespace cw {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A drive path taken apart: the drive letter and the components left after
// "." and ".." are applied. Empty components (doubled or trailing
// separators) vanish, as they do on Windows.
struct Scomposto {
  char letter = 0;
  std::vector<std::string_view> components;
};

bool Parse(std::string_view path, Scomposto& out) {
  if (!DriveTable::IsDrivePath(path)) return false;
  out.letter = MinuscolaAscii(path[0]);
  size_t start = 2;
  while (start < path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view c = path.substr(start, end - start);
    if (c.find('\0') != std::string_view::npos) return false;
    if (c == "..") {
      if (!out.components.empty()) out.components.pop_back();
    } else if (!c.empty() && c != ".") {
      out.components.push_back(c);
    }
    start = end + 1;
  }
  return true;
}

bool StatOf(const std::string& host, struct stat& st) { return ::stat(host.c_str(), &st) == 0; }

// The entry of folder dir whose name equals name ignoring letter case, with
// its status; false when there is none. When several differ only in case
// (possible on Linux, never on Windows), the smallest name wins, so the
// choice does not depend on the order of the directory.
bool FindIgnoringCase(const std::string& dir, std::string_view name, std::string& found, struct stat& st) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  const std::string wanted = MaiuscoloUtf8(name);
  std::string best;
  bool any = false;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    if (MaiuscoloUtf8(entry) != wanted) continue;
    struct stat est {};
    if (!StatOf(dir + "/" + std::string(entry), est)) continue;  // a dangling link is no entry
    if (!any || entry < best) {
      best = entry;
      st = est;
      any = true;
    }
  }
  ::closedir(d);
  if (any) found = std::move(best);
  return any;
}

}  // namespace

DriveTable DriveTable::FromEnvironment() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return DriveTable(prefix);
  std::string home;
  if (const char* h = std::getenv("HOME"); h && *h) {
    home = h;
  } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
    home = pw->pw_dir;
  }
  return DriveTable(std::filesystem::path(home) / ".wine");
}

bool DriveTable::IsDrivePath(std::string_view p) {
  return p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == ':' && (p.size() == 2 || IsSeparator(p[2]));
}

std::optional<std::filesystem::path> DriveTable::DriveRoot(char letter) const {
  if (!IsAsciiLetter(letter)) return std::nullopt;
  const std::filesystem::path devices = prefix_ / "dosdevices";
  for (const char c : {MinuscolaAscii(letter), MaiuscolaAscii(letter)}) {
    std::filesystem::path link = devices / std::string{c, ':'};
    struct stat st {};
    if (StatOf(link.native(), st) && S_ISDIR(st.st_mode)) return link;
  }
  return std::nullopt;
}

std::vector<std::filesystem::path> DriveTable::CartelleUnita() const {
  namespace fs = std::filesystem;
  std::vector<fs::path> cartelle;
  std::error_code ec;
  const fs::path prefisso = fs::weakly_canonical(prefix_, ec);
  for (fs::directory_iterator it(prefix_ / "dosdevices", ec), fine; !ec && it != fine; it.increment(ec)) {
    const std::string nome = it->path().filename().string();
    if (nome.size() != 2 || !IsAsciiLetter(nome[0]) || nome[1] != ':') continue;
    std::error_code e;
    const fs::path cartella = fs::canonical(it->path(), e);
    if (e || !fs::is_directory(cartella, e)) continue;
    const fs::path resto = prefisso.lexically_relative(cartella);
    if (!resto.empty() && *resto.begin() != "..") continue;  // the prefix lies inside it
    cartelle.push_back(cartella);
  }
  return cartelle;
}

DriveTable::Lookup DriveTable::Find(std::string_view windowsPath) const {
  Lookup out;
  Scomposto parsed;
  if (!Parse(windowsPath, parsed)) return out;
  const auto& comps = parsed.components;

  // Almost every path the program uses is written in the case it has on
  // disk: one stat of the literal host path settles it.
  std::string literal = prefix_.native();
  literal += "/dosdevices/";
  literal += parsed.letter;
  literal += ':';
  const size_t driveEnd = literal.size();
  size_t parentEnd = driveEnd;
  for (size_t i = 0; i < comps.size(); ++i) {
    if (i + 1 == comps.size()) parentEnd = literal.size();
    literal += '/';
    literal += comps[i];
  }
  struct stat st {};
  if (StatOf(literal, st)) {
    out.state = Lookup::State::Found;
    out.host = std::move(literal);
    out.mode = st.st_mode;
    out.size = static_cast<unsigned long long>(st.st_size);
    return out;
  }

  const auto root = DriveRoot(parsed.letter);
  if (!root) return out;
  std::string cur = root->native();
  // Whether cur is still the literal host path of the components walked.
  bool isLiteral = std::string_view(cur) == std::string_view(literal).substr(0, driveEnd);
  size_t first = 0;
  if (comps.empty()) {
    if (!StatOf(cur, st)) return out;
    out.state = Lookup::State::Found;
    out.host = std::move(cur);
    out.mode = st.st_mode;
    out.size = static_cast<unsigned long long>(st.st_size);
    return out;
  }
  // Next most common: a new file in a folder written as it is on disk.
  if (isLiteral && comps.size() > 1) {
    const std::string parent = literal.substr(0, parentEnd);
    if (StatOf(parent, st) && S_ISDIR(st.st_mode)) {
      cur = parent;
      first = comps.size() - 1;
    }
  }

  for (size_t i = first; i < comps.size(); ++i) {
    const bool last = i + 1 == comps.size();
    std::string next = cur + "/" + std::string(comps[i]);
    bool found = false;
    // The literal leaf under a literal folder is the path that already failed.
    if (!(isLiteral && last)) found = StatOf(next, st);
    if (!found) {
      std::string name;
      if (FindIgnoringCase(cur, comps[i], name, st)) {
        next = cur + "/" + name;
        found = true;
        isLiteral = false;
      }
    }
    if (!found) {
      if (last) {
        out.state = Lookup::State::LeafMissing;
        out.host = std::move(next);
      }
      return out;
    }
    if (last) {
      out.state = Lookup::State::Found;
      out.host = std::move(next);
      out.mode = st.st_mode;
      out.size = static_cast<unsigned long long>(st.st_size);
      return out;
    }
    if (!S_ISDIR(st.st_mode)) return out;  // a file where a folder is needed
    cur = std::move(next);
  }
  return out;
}

std::optional<std::filesystem::path> DriveTable::Resolve(std::string_view windowsPath) const {
  Lookup l = Find(windowsPath);
  if (l.state != Lookup::State::Found) return std::nullopt;
  return std::move(l.host);
}

std::optional<std::filesystem::path> DriveTable::ResolveForCreate(std::string_view windowsPath) const {
  Lookup l = Find(windowsPath);
  if (l.state == Lookup::State::FolderMissing) return std::nullopt;
  return std::move(l.host);
}

}  // namespace cw
