#include "albero.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "errore_sandbox.h"

namespace cw::sandbox {

namespace fs = std::filesystem;

namespace {

std::string Minuscolo(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

[[noreturn]] void Fallisce(const std::string& cosa, const fs::path& dove, int err) {
  throw ErroreSandbox(cosa + " " + dove.string() + ": " + std::strerror(err));
}

// The entry of folder `dir` whose name equals `nome` ignoring case, or "".
std::string CercaIgnorandoMaiuscole(const fs::path& dir, const std::string& nome) {
  DIR* d = opendir(dir.c_str());
  if (!d) return {};
  const std::string cercato = Minuscolo(nome);
  std::string trovato;
  while (dirent* e = readdir(d)) {
    if (Minuscolo(e->d_name) == cercato) {
      trovato = e->d_name;
      break;
    }
  }
  closedir(d);
  return trovato;
}

void ScriviTutto(const fs::path& host, std::string_view byte, mode_t modo) {
  const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, modo);
  if (fd < 0) Fallisce("cannot write", host, errno);
  size_t fatto = 0;
  while (fatto < byte.size()) {
    const ssize_t n = ::write(fd, byte.data() + fatto, byte.size() - fatto);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      Fallisce("cannot write", host, err);
    }
    fatto += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) Fallisce("cannot write", host, errno);
}

// Clears the way for a new entry: an existing file or link is removed (the
// link itself, not its target); a folder is refused.
void Sgombra(const fs::path& host) {
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) throw ErroreSandbox("a folder is in the way: " + host.string());
  if (::unlink(host.c_str()) != 0) Fallisce("cannot replace", host, errno);
}

void RichiediFileRegolare(const fs::path& origine) {
  struct stat st;
  if (::stat(origine.c_str(), &st) != 0) Fallisce("cannot read", origine, errno);
  if (!S_ISREG(st.st_mode)) throw ErroreSandbox("not a file: " + origine.string());
}

}  // namespace

PercorsoWindows Scomponi(std::string_view windows) {
  PercorsoWindows p;
  if (windows.size() < 2 || windows[1] != ':' || !std::isalpha(static_cast<unsigned char>(windows[0])))
    throw ErroreSandbox("not a Windows path with a drive: " + std::string(windows));
  p.lettera = static_cast<char>(std::tolower(static_cast<unsigned char>(windows[0])));
  std::string parte;
  auto chiudi = [&] {
    if (parte == "." || parte == "..")
      throw ErroreSandbox("\".\" or \"..\" in a sandbox path: " + std::string(windows));
    if (!parte.empty()) p.parti.push_back(parte);
    parte.clear();
  };
  for (size_t i = 2; i < windows.size(); ++i) {
    if (windows[i] == '\\' || windows[i] == '/')
      chiudi();
    else
      parte += windows[i];
  }
  chiudi();
  return p;
}

fs::path Albero::Radice(char lettera) {
  if (lettera != 'c' && lettera != 'd')
    throw ErroreSandbox(std::string("the sandbox has no drive ") + static_cast<char>(std::toupper(lettera)) + ":");
  const fs::path radice = prefisso_ / (std::string("drive_") + lettera);
  struct stat st;
  if (::lstat(radice.c_str(), &st) != 0) {
    if (errno != ENOENT) Fallisce("cannot read", radice, errno);
    if (::mkdir(radice.c_str(), 0755) != 0) Fallisce("cannot make", radice, errno);
  } else if (!S_ISDIR(st.st_mode)) {
    throw ErroreSandbox("not a folder (a link is not followed): " + radice.string());
  }
  return radice;
}

fs::path Albero::Cartella(std::string_view windows) {
  const PercorsoWindows p = Scomponi(windows);
  std::string chiave(1, p.lettera);
  chiave += ':';
  auto it = cartelle_.find(chiave);
  if (it == cartelle_.end()) it = cartelle_.emplace(chiave, Nota{Radice(p.lettera), false}).first;
  Nota nota = it->second;
  for (const std::string& parte : p.parti) {
    chiave += '\\';
    chiave += Minuscolo(parte);
    if (auto trovata = cartelle_.find(chiave); trovata != cartelle_.end()) {
      nota = trovata->second;
      continue;
    }
    // A folder made in this run holds only what the cache knows, so a name
    // missing there is missing on disk too; elsewhere look on disk.
    std::string nome = parte;
    bool nuova = nota.nuova;
    if (!nuova) {
      const std::string esistente = CercaIgnorandoMaiuscole(nota.host, parte);
      if (!esistente.empty()) nome = esistente;
    }
    const fs::path host = nota.host / nome;
    struct stat st;
    if (!nuova && ::lstat(host.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) throw ErroreSandbox("not a folder (a link is not followed): " + host.string());
    } else {
      if (::mkdir(host.c_str(), 0755) != 0) Fallisce("cannot make", host, errno);
      nuova = true;
    }
    nota = Nota{host, nuova};
    cartelle_.emplace(chiave, nota);
  }
  return nota.host;
}

fs::path Albero::File(std::string_view windows) {
  const size_t taglio = windows.find_last_of("\\/");
  if (taglio == std::string_view::npos || taglio + 1 >= windows.size())
    throw ErroreSandbox("not a file path: " + std::string(windows));
  const std::string nome(windows.substr(taglio + 1));
  if (nome == "." || nome == "..") throw ErroreSandbox("not a file path: " + std::string(windows));
  return Cartella(windows.substr(0, taglio)) / nome;
}

void Albero::ScriviFile(std::string_view windows, std::string_view byte) {
  ScriviTutto(File(windows), byte, 0644);
  ++fileScritti_;
}

void Albero::CopiaFile(const fs::path& origine, std::string_view windows) {
  struct stat st;
  if (::stat(origine.c_str(), &st) != 0) Fallisce("cannot read", origine, errno);
  if (!S_ISREG(st.st_mode)) throw ErroreSandbox("not a file: " + origine.string());
  const int fd = ::open(origine.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fallisce("cannot read", origine, errno);
  std::string byte;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      Fallisce("cannot read", origine, err);
    }
    if (n == 0) break;
    byte.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  const fs::path destinazione = File(windows);
  const mode_t modo = st.st_mode & 07777;
  Sgombra(destinazione);
  ScriviTutto(destinazione, byte, modo);
  // The umask may have taken bits away; the copy gets the source's own.
  if (::chmod(destinazione.c_str(), modo) != 0) Fallisce("cannot set the mode of", destinazione, errno);
  ++fileScritti_;
}

void Albero::CollegaFile(const fs::path& origine, std::string_view windows) {
  RichiediFileRegolare(origine);
  std::error_code ec;
  const fs::path assoluto = fs::absolute(origine, ec);
  if (ec) throw ErroreSandbox("cannot make " + origine.string() + " absolute: " + ec.message());
  const fs::path destinazione = File(windows);
  Sgombra(destinazione);
  if (::symlink(assoluto.c_str(), destinazione.c_str()) != 0) Fallisce("cannot make the link", destinazione, errno);
  ++fileScritti_;
}

}  // namespace cw::sandbox
