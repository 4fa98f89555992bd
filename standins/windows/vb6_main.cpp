// standin-vb6.exe: the Windows build of the stand-in development environment
// (standins/vb6/esecuzione.h), run through wine. Its paths are native Windows
// paths; the command line is read as Windows hands it over, and
// CW_STANDIN_RIGHE_COMANDO, when it names a file, gets that raw text appended
// as one line, so tests can see how each argument arrived.

// windows.h first: shellapi.h needs its definitions.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "esecuzione.h"

namespace {
namespace fs = std::filesystem;

// The built file of an OleDll project copies the in-process server; those of
// an OleExe and an Exe project copy the EXE server, which without a switch
// starts and ends at once, as a stand-in application should.
constexpr const char* kServerInProcesso = "standin-component.dll";
constexpr const char* kServerEseguibile = "standin-exeserver.exe";

std::string Utf8(const std::wstring& testo) {
  const int n = static_cast<int>(testo.size());
  const int k = WideCharToMultiByte(CP_UTF8, 0, testo.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(k > 0 ? static_cast<size_t>(k) : 0, '\0');
  if (k > 0) WideCharToMultiByte(CP_UTF8, 0, testo.data(), n, out.data(), k, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& utf8) {
  const int n = static_cast<int>(utf8.size());
  const int k = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
  std::wstring out(k > 0 ? static_cast<size_t>(k) : 0, L'\0');
  if (k > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), k);
  return out;
}

std::optional<std::wstring> Ambiente(const wchar_t* nome) {
  const DWORD n = GetEnvironmentVariableW(nome, nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring valore(n, L'\0');
  const DWORD k = GetEnvironmentVariableW(nome, valore.data(), n);
  if (k == 0 || k >= n) return std::nullopt;
  valore.resize(k);
  return valore;
}

// Windows paths need no table: the path is the file.
class UnitaNative : public cw::vb6::Unita {
 public:
  std::optional<fs::path> Resolve(const std::string& p) const override {
    std::error_code ec;
    fs::path percorso(Wide(p));
    if (p.empty() || !fs::exists(percorso, ec)) return std::nullopt;
    return percorso;
  }
  std::optional<fs::path> ResolveForCreate(const std::string& p) const override {
    std::error_code ec;
    fs::path percorso(Wide(p));
    if (p.empty() || !percorso.has_filename() || !fs::is_directory(percorso.parent_path(), ec)) return std::nullopt;
    return percorso;
  }
};

// Beside the stand-in itself, unless CW_STANDIN_COMPONENTI names a folder.
fs::path CartellaComponenti() {
  if (auto c = Ambiente(L"CW_STANDIN_COMPONENTI"); c && !c->empty()) return fs::path(*c);
  std::wstring io(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, io.data(), static_cast<DWORD>(io.size()));
    if (n == 0) return {};
    if (n < io.size()) {
      io.resize(n);
      return fs::path(io).parent_path();
    }
    io.resize(io.size() * 2);
  }
}

void RegistraRigaDiComando(const wchar_t* riga) {
  const auto file = Ambiente(L"CW_STANDIN_RIGHE_COMANDO");
  if (!file || file->empty()) return;
  const HANDLE h = CreateFileW(file->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  const std::string testo = Utf8(riga) + "\n";
  DWORD scritti = 0;
  WriteFile(h, testo.data(), static_cast<DWORD>(testo.size()), &scritti, nullptr);
  CloseHandle(h);
}

}  // namespace

int wmain() {
  const wchar_t* riga = GetCommandLineW();
  RegistraRigaDiComando(riga);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(riga, &argc);
  if (!argv) return 2;
  std::vector<std::string> argomenti;
  for (int i = 1; i < argc; ++i) argomenti.push_back(Utf8(argv[i]));
  LocalFree(argv);
  const auto noop = Ambiente(L"CW_STANDIN_VB6_NOOP");
  auto variabile = [](const wchar_t* nome) -> std::optional<std::string> {
    const auto v = Ambiente(nome);
    return v ? std::optional<std::string>(Utf8(*v)) : std::nullopt;
  };
  std::string errore;
  const auto ordine = cw::vb6::LeggiOrdine(variabile(L"CW_STANDIN_INIZIO"), variabile(L"CW_STANDIN_MS"), errore);
  if (!ordine) {
    std::fprintf(stderr, "standin-vb6: %s\n", errore.c_str());
    return 2;
  }
  // The question as the environment asks it, in a box of its own; where no
  // box can be shown (no display) the build waits for ever all the same.
  return cw::vb6::Esegui(
      argomenti, UnitaNative{}, {CartellaComponenti(), kServerInProcesso, kServerEseguibile, kServerEseguibile},
      noop && *noop == L"1",
      [](const std::string& domanda) {
        if (MessageBoxW(nullptr, Wide(domanda).c_str(), L"Microsoft Visual Basic", MB_OKCANCEL | MB_ICONEXCLAMATION) ==
            0)
          Sleep(INFINITE);
      },
      *ordine);
}
