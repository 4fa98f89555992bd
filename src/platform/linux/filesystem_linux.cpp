#include "platform/linux/filesystem_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/errors.h"
#include "base/flusso_lettura.h"
#include "platform/linux/flusso_scrittura_linux.h"
#include "platform/linux/io_linux.h"

namespace cw {
namespace {

using State = DriveTable::Lookup::State;

// Windows' read-only attribute. Checked by us, not left to the kernel, so
// that root (who may write anything) meets it too.
bool IsReadOnly(unsigned mode) { return (mode & 0222) == 0; }

bool IsDir(unsigned mode) { return S_ISDIR(mode); }
bool IsRegular(unsigned mode) { return S_ISREG(mode); }

// The lookup of a path that must name an existing file: 76 for a missing
// folder, 53 for a missing file, 75 for a folder (or anything else that is
// not a plain file).
DriveTable::Lookup ExistingFile(const DriveTable& drives, std::string_view path) {
  DriveTable::Lookup l = drives.Find(path);
  if (l.state == State::FolderMissing) SollevaErrorePercorso(kPercorsoNonTrovato, path);
  if (l.state == State::LeafMissing) SollevaErrorePercorso(kFileNonTrovato, path);
  if (!IsRegular(l.mode)) SollevaErrorePercorso(kErroreAccessoPercorso, path);
  return l;
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // close(2) with its result: 0 or errno.
  int Close() {
    const int fd = release();
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  int fd_;
};

// Makes the file open on fd (holding old) hold bytes instead, in place.
// Space for a longer file is reserved before the first byte changes, so a
// full disk stops the copy with the file as it was; should a write fail all
// the same, the old bytes are put back. 0, or the errno of the failure.
int ReplaceInPlace(int fd, const std::string& old, const std::string& bytes) {
  if (bytes.size() > old.size() && ::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size())) != 0) {
    const int err = errno;
    if (err != EOPNOTSUPP && err != ENOSYS) {
      // A reservation that failed halfway may have lengthened the file.
      (void)!::ftruncate(fd, static_cast<off_t>(old.size()));
      return err;
    }
  }
  int err = ScriviTuttoDaCapo(fd, bytes);
  if (!err && bytes.size() < old.size() && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) err = errno;
  if (err) {
    ScriviTuttoDaCapo(fd, old);
    (void)!::ftruncate(fd, static_cast<off_t>(old.size()));
  }
  return err;
}

// The lookup of a path about to be created or replaced: 76 for a missing
// folder, 75 for something other than a plain file, 70 for a read-only file.
DriveTable::Lookup ReplaceableFile(const DriveTable& drives, std::string_view path) {
  DriveTable::Lookup l = drives.Find(path);
  if (l.state == State::FolderMissing) SollevaErrorePercorso(kPercorsoNonTrovato, path);
  if (l.state == State::Found && !IsRegular(l.mode)) SollevaErrorePercorso(kErroreAccessoPercorso, path);
  if (l.state == State::Found && IsReadOnly(l.mode)) SollevaErrorePercorso(kAutorizzazioneNegata, path);
  return l;
}

// The folder holding host on the disk, so that a name just made or renamed
// in it survives a power cut. A folder that cannot be synchronised (EINVAL)
// is taken as it is.
void ScaricaCartella(const std::filesystem::path& host, std::string_view percorso) {
  const std::string cartella = host.parent_path().native();
  Fd dir(::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) SollevaErroreErrno(errno, true, cartella, "open", percorso);
  if (::fsync(dir.get()) != 0 && errno != EINVAL) SollevaErroreErrno(errno, false, cartella, "fsync", percorso);
}

}  // namespace

bool FileSystemLinux::FileExists(std::string_view path) {
  const auto l = drives_.Find(path);
  return l.state == State::Found && IsRegular(l.mode);
}

bool FileSystemLinux::FolderExists(std::string_view path) {
  const auto l = drives_.Find(path);
  return l.state == State::Found && IsDir(l.mode);
}

TipoVoce FileSystemLinux::Tipo(std::string_view path) {
  // A dangling link is no entry to the lookup, which then gives the path a
  // new file would take: the link's own.
  const auto l = drives_.Find(path);
  struct stat st {};
  if (l.state == State::FolderMissing || ::lstat(l.host.c_str(), &st) != 0) return TipoVoce::Nessuna;
  if (S_ISLNK(st.st_mode)) return TipoVoce::Collegamento;
  if (S_ISREG(st.st_mode)) return TipoVoce::File;
  return S_ISDIR(st.st_mode) ? TipoVoce::Cartella : TipoVoce::Altro;
}

void FileSystemLinux::CopyFile(std::string_view source, std::string_view destination, bool overwrite) {
  const auto src = ExistingFile(drives_, source);
  const auto dst = drives_.Find(destination);
  if (dst.state == State::FolderMissing) SollevaErrorePercorso(kPercorsoNonTrovato, destination);
  const bool replacing = dst.state == State::Found;
  if (replacing) {
    if (!overwrite) SollevaErrorePercorso(kFileGiaEsistente, destination);
    if (!IsRegular(dst.mode)) SollevaErrorePercorso(kErroreAccessoPercorso, destination);
    if (IsReadOnly(dst.mode)) SollevaErrorePercorso(kAutorizzazioneNegata, destination);
  }
  const std::string& srcHost = src.host.native();
  const std::string& dstHost = dst.host.native();

  // The source is read whole before the destination is touched: a source
  // that cannot be read leaves the destination as it was.
  std::string bytes;
  {
    Fd in(::open(srcHost.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) SollevaErroreErrno(errno, false, srcHost, "open", source);
    if (LeggiFinoAllaFine(in.get(), bytes, static_cast<size_t>(src.size)) != 0)
      SollevaErroreErrno(EIO, false, srcHost, "read", source);
  }

  if (!replacing) {
    // A new copy gets the source's permission bits less the umask, as cp
    // gives them: a read-only source gives a read-only copy, as on Windows.
    Fd out(::open(dstHost.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(src.mode & 0777)));
    if (out.get() < 0) SollevaErroreErrno(errno, true, dstHost, "open", destination);
    int err = ScriviTuttoFd(out.get(), bytes);
    const int closeErr = out.Close();
    if (!err) err = closeErr;
    if (err) {
      ::unlink(dstHost.c_str());
      SollevaErroreErrno(err, false, dstHost, "write", destination);
    }
    return;
  }

  // An existing destination is rewritten in place rather than replaced by
  // a renamed temporary file: renaming over a file makes ext4 write the new
  // file out at once, which costs several times the copy itself.
  Fd out(::open(dstHost.c_str(), O_RDWR | O_CLOEXEC));
  if (out.get() < 0) SollevaErroreErrno(errno, false, dstHost, "open", destination);
  std::string old;
  if (const int err = LeggiFinoAllaFine(out.get(), old, static_cast<size_t>(dst.size)))
    SollevaErroreErrno(err, false, dstHost, "read", destination);
  int err = ReplaceInPlace(out.get(), old, bytes);
  // The read-only attribute goes with the copy; other bits stay the file's.
  if (!err && IsReadOnly(src.mode) && ::fchmod(out.get(), static_cast<mode_t>(dst.mode & 07555)) != 0) {
    err = errno;
    ReplaceInPlace(out.get(), bytes, old);
  }
  const int closeErr = out.Close();
  if (!err) err = closeErr;
  if (err) SollevaErroreErrno(err, false, dstHost, "write", destination);
}

void FileSystemLinux::DeleteFile(std::string_view path, bool force) {
  const auto l = ExistingFile(drives_, path);
  if (!force && IsReadOnly(l.mode)) SollevaErrorePercorso(kAutorizzazioneNegata, path);
  if (::unlink(l.host.c_str()) != 0) SollevaErroreErrno(errno, false, l.host.native(), "unlink", path);
}

void FileSystemLinux::RenameFile(std::string_view source, std::string_view destination) {
  const auto src = ExistingFile(drives_, source);
  const auto dst = ReplaceableFile(drives_, destination);
  if (::rename(src.host.c_str(), dst.host.c_str()) != 0)
    SollevaErroreErrno(errno, false, dst.host.native(), "rename", destination);
}

void FileSystemLinux::CopyFileWhole(std::string_view source, std::string_view destination) {
  CopiaIntera(source, destination, false);
}

void FileSystemLinux::CopyFileWholeFlushed(std::string_view source, std::string_view destination) {
  CopiaIntera(source, destination, true);
}

void FileSystemLinux::CopiaIntera(std::string_view source, std::string_view destination, bool suDisco) {
  const auto src = ExistingFile(drives_, source);
  const auto dst = ReplaceableFile(drives_, destination);
  std::string bytes;
  {
    Fd in(::open(src.host.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) SollevaErroreErrno(errno, false, src.host.native(), "open", source);
    if (LeggiFinoAllaFine(in.get(), bytes, static_cast<size_t>(src.size)) != 0)
      SollevaErroreErrno(EIO, false, src.host.native(), "read", source);
  }
  // Without suDisco, renamed into place unflushed: what is at stake is a kill
  // of this program, after which the kernel still writes out what it was
  // given; the destination is either the old file or the whole copy.
  const std::string temp = dst.host.native() + "~";
  ::unlink(temp.c_str());  // a leftover of a killed copy
  Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>((src.mode & 0777) | 0200)));
  if (out.get() < 0) SollevaErroreErrno(errno, true, temp, "open", destination);
  int err = ScriviTuttoFd(out.get(), bytes);
  // The data reaches the disk before the name does, so after a power cut the
  // destination is never an empty file of the new name.
  if (!err && suDisco && ::fdatasync(out.get()) != 0) err = errno;
  const int closeErr = out.Close();
  if (!err) err = closeErr;
  if (!err && ::rename(temp.c_str(), dst.host.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    SollevaErroreErrno(err, false, dst.host.native(), "write", destination);
  }
  if (!suDisco) return;
  // And the rename reaches it before the caller goes on (to empty the file
  // this copy keeps).
  ScaricaCartella(dst.host, destination);
}

void FileSystemLinux::FlushFile(std::string_view path) {
  const auto l = ExistingFile(drives_, path);
  // fdatasync needs no write access; the file's size goes with its data.
  Fd fd(::open(l.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) SollevaErroreErrno(errno, false, l.host.native(), "open", path);
  if (::fdatasync(fd.get()) != 0 && errno != EINVAL)
    SollevaErroreErrno(errno, false, l.host.native(), "fdatasync", path);
  // A file the rewrite had to create has a new name to put on the disk too.
  ScaricaCartella(l.host, path);
}

void FileSystemLinux::CheckWritable(std::string_view path) {
  const auto l = ReplaceableFile(drives_, path);
  // New files (a copy, a renamed generation) need a folder that takes them.
  if (::access(l.host.parent_path().c_str(), W_OK | X_OK) != 0)
    SollevaErrore(kAutorizzazioneNegata, l.host.parent_path().native(), std::string(path));
}

std::unique_ptr<TextStream> FileSystemLinux::OpenTextFile(std::string_view path, IOMode mode, bool create) {
  if (mode != IOMode::ForReading && mode != IOMode::ForWriting && mode != IOMode::ForAppending)
    SollevaErrore(kChiamataNonValida, "OpenTextFile mode");
  const auto l = drives_.Find(path);
  if (l.state == State::FolderMissing) SollevaErrorePercorso(kPercorsoNonTrovato, path);
  if (l.state == State::LeafMissing && !create) SollevaErrorePercorso(kFileNonTrovato, path);
  if (l.state == State::Found && !IsRegular(l.mode)) SollevaErrorePercorso(kErroreAccessoPercorso, path);
  const std::string& host = l.host.native();

  if (mode == IOMode::ForReading) {
    if (l.state == State::LeafMissing) {
      Fd fd(::open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
      if (fd.get() < 0) SollevaErroreErrno(errno, true, host, "open", path);
      return std::make_unique<ReadingStream>(std::string());
    }
    Fd fd(::open(host.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) SollevaErroreErrno(errno, false, host, "open", path);
    struct stat st {};
    const size_t hint = ::fstat(fd.get(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
    std::string contents;
    if (const int err = LeggiFinoAllaFine(fd.get(), contents, hint))
      SollevaErroreErrno(err == ENOSPC ? EIO : err, false, host, "read", path);
    return std::make_unique<ReadingStream>(std::move(contents));
  }

  if (l.state == State::Found && IsReadOnly(l.mode)) SollevaErrorePercorso(kAutorizzazioneNegata, path);
  int flags = O_WRONLY | O_CLOEXEC | (mode == IOMode::ForAppending ? O_APPEND : O_TRUNC);
  if (l.state == State::LeafMissing) flags |= O_CREAT;
  const int fd = ::open(host.c_str(), flags, 0666);
  if (fd < 0) SollevaErroreErrno(errno, l.state == State::LeafMissing, host, "open", path);
  return std::make_unique<WritingStream>(std::make_unique<DestinazioneScritturaLinux>(fd, host, std::string(path)));
}

FolderListing FileSystemLinux::GetFolder(std::string_view path) {
  const auto l = drives_.Find(path);
  if (l.state != State::Found || !IsDir(l.mode)) SollevaErrorePercorso(kPercorsoNonTrovato, path);
  DIR* d = ::opendir(l.host.c_str());
  if (!d) SollevaErroreErrno(errno, true, l.host.native(), "opendir", path);
  FolderListing out;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    bool file = e->d_type == DT_REG;
    if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st {};
      file = ::fstatat(::dirfd(d), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (file) {
      out.FileNames.emplace_back(name);
    } else {
      out.AltreVoci.emplace_back(name);
    }
  }
  ::closedir(d);
  // The folder's path as the caller wrote it, without trailing separators;
  // a drive's root keeps its one, as "C:\".
  std::string p(path);
  while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.size() == 2) p += '\\';
  out.Path = std::move(p);
  return out;
}

}  // namespace cw
