// The private-profile calls of profilo.h over the system's own. The
// file name is UTF-8, as every path the program holds; the system's ANSI
// functions take it in the ANSI code page, so a name that code page cannot
// hold reads as a missing file and is never written.

#include "platform/windows/profilo_win32.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "base/profilo_argomenti.h"
#include "platform/windows/testo_wide_win32.h"

namespace cw {
namespace {

std::string FinoAlNul(std::string_view s) { return std::string(s.substr(0, s.find('\0'))); }

bool NomeAnsi(const std::string& file, std::string& ansi) {
  const std::wstring w = Wide(file);
  if (w.empty()) return false;
  const int n = static_cast<int>(w.size());
  BOOL sostituito = FALSE;
  const int k = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), n, nullptr, 0, nullptr, &sostituito);
  if (k <= 0 || sostituito) return false;
  ansi.assign(static_cast<size_t>(k), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), n, ansi.data(), k, nullptr, nullptr);
  return true;
}

std::string_view TagliaSpazi(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The read-only attribute is asked first: the system refuses such a file
// too, but Wine run by root would write it.
bool SolaLettura(const std::string& file) {
  const DWORD a = GetFileAttributesW(Wide(file).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

std::size_t ProfiloWin32::GetPrivateProfileStringA(const std::string& file, std::string_view sezione,
                                                   std::string_view chiave, std::string_view predefinito,
                                                   char* destinazione, std::size_t n) const {
  if (n == 0) return 0;
  const std::string s = FinoAlNul(sezione), k = FinoAlNul(chiave), d = FinoAlNul(predefinito);
  std::string nome;
  if (!NomeAnsi(file, nome)) nome = "\\\\?\\nessun file";  // reads as missing: the default
  const DWORD limite = static_cast<DWORD>(n > 0x7FFFFFFF ? 0x7FFFFFFF : n);
  return ::GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), destinazione, limite, nome.c_str());
}

namespace {

// Each lookup is the system's own call, which reads the file itself.
class ProfiloLettoWin32 : public ProfiloLetto {
 public:
  explicit ProfiloLettoWin32(std::string file) : file_(std::move(file)) {}
  std::size_t GetString(std::string_view sezione, std::string_view chiave, std::string_view predefinito,
                        char* destinazione, std::size_t n) const override {
    return ProfiloWin32().GetPrivateProfileStringA(file_, sezione, chiave, predefinito, destinazione, n);
  }
  const std::string& File() const override { return file_; }

 private:
  std::string file_;
};

}  // namespace

bool ProfiloWin32::ConMarcaUtf8(const std::string& file) const {
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a pipe or a
  // device is not asked.
  const HANDLE h = CreateFileW(Wide(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char testa[3] = {};
  DWORD letti = 0;
  const bool marca = GetFileType(h) == FILE_TYPE_DISK && ReadFile(h, testa, sizeof testa, &letti, nullptr) &&
                     std::string_view(testa, letti) == "\xEF\xBB\xBF";
  CloseHandle(h);
  return marca;
}

std::unique_ptr<ProfiloLetto> ProfiloWin32::Leggi(const std::string& file) const {
  return std::make_unique<ProfiloLettoWin32>(file);
}

bool ProfiloWin32::WritePrivateProfileStringA(const std::string& file, std::string_view sezione,
                                              std::string_view chiave, std::string_view valore) {
  const std::string s = FinoAlNul(sezione), k = FinoAlNul(chiave), v = FinoAlNul(valore);
  if (!ArgomentiProfiloSicuri(TagliaSpazi(s), TagliaSpazi(k), v)) return false;
  std::string nome;
  if (!NomeAnsi(file, nome) || SolaLettura(file)) return false;
  if (!::WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), nome.c_str())) return false;
  // The system writes the file in place; it is on the disk before the save
  // counts as done, or a power cut could take the revision just saved.
  // Three nulls empty the system's cache of the file first.
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, nome.c_str());
  const HANDLE h = CreateFileW(Wide(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool suDisco = FlushFileBuffers(h) != FALSE;
  CloseHandle(h);
  return suDisco;
}

bool ProfiloWin32::CreaCartelleProfilo(const std::string& file) {
  const std::filesystem::path cartella = std::filesystem::path(Wide(file)).parent_path();
  std::error_code ec;
  if (cartella.empty() || std::filesystem::is_directory(cartella, ec)) return true;
  std::filesystem::create_directories(cartella, ec);
  return !ec;
}

bool ProfiloWin32::CancellaChiaveProfilo(const std::string& file, std::string_view sezione, std::string_view chiave) {
  const std::string s = FinoAlNul(sezione), k = FinoAlNul(chiave);
  std::string nome;
  if (!NomeAnsi(file, nome)) return false;
  // Nothing to remove from a file that is not there; the system would make it.
  if (GetFileAttributesW(Wide(file).c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD err = GetLastError();
    return err == ERROR_FILE_NOT_FOUND;
  }
  if (SolaLettura(file)) {
    // Gone already is gone, writable or not.
    char segno[2];
    return ::GetPrivateProfileStringA(s.c_str(), k.c_str(), "\x01", segno, sizeof segno, nome.c_str()) == 1 &&
           segno[0] == '\x01';
  }
  return ::WritePrivateProfileStringA(s.c_str(), k.c_str(), nullptr, nome.c_str()) != FALSE;
}

}  // namespace cw
