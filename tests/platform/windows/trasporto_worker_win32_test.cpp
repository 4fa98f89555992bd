// The Win32 worker's transport, through the registration channel that
// speaks to it.

#include "platform/windows/trasporto_worker_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <fstream>

#include "platform/windows/attesa_win32.h"
#include "platform/windows/cartella_prova.h"
#include "platform/windows/testo_wide_win32.h"
#include "registration/canale_worker.h"

namespace cw {
namespace {

using namespace std::chrono_literals;
using prova::AccantoAlProgramma;
using prova::CartellaProva;
using R = RispostaRegistrazione;

// The workers as the channel starts them, the last one kept in view.
struct AvvioOsservato : AvvioWorker {
  AvvioWorkerWin32 vero{AccantoAlProgramma(kNomeAgente)};
  TrasportoWorkerWin32* ultimo = nullptr;
  LibreriaTrovata Trova(const std::string& percorso, std::size_t massimo) override {
    return vero.Trova(percorso, massimo);
  }
  bool HaWorkerLinux() const override { return vero.HaWorkerLinux(); }
  int BitWorkerWindows() const override { return vero.BitWorkerWindows(); }
  WorkerAvviato Avvia(TipoWorker tipo) override {
    WorkerAvviato avviato = vero.Avvia(tipo);
    ultimo = static_cast<TrasportoWorkerWin32*>(avviato.trasporto.get());
    return avviato;
  }
  Attesa& AttesaBloccata() override { return vero.AttesaBloccata(); }
};

class TrasportoWorkerWin32Test : public ::testing::Test {
 protected:
  R Chiedi(const std::string& dll, std::chrono::milliseconds limite = 10s,
           const char* entryPoint = "DllRegisterServer") {
    ultimo_ = canale_.Chiedi(entryPoint, dll, limite, &attesa_);
    return ultimo_.risposta;
  }
  EsitoRegistrazione ultimo_;
  AttesaWin32 attesa_;
  AvvioOsservato* avvio_ = new AvvioOsservato;
  CanaleWorker canale_{std::unique_ptr<AvvioWorker>(avvio_)};
};

TEST_F(TrasportoWorkerWin32Test, OgniEsitoDelComponente) {
  CartellaProva dir;
  { std::ofstream(std::filesystem::path(Wide(dir / "testo.dll"))) << "non una libreria"; }
  struct Caso {
    std::string dll;
    R attesa;
    std::int32_t risultato = 0;                               // Conclusa
    MotivoCaricamento motivo = MotivoCaricamento::Rifiutata;  // CaricamentoFallito
  };
  const std::vector<Caso> casi = {
      {dir / "nessuna.dll", R::CaricamentoFallito, 0, MotivoCaricamento::Mancante},
      {dir.Percorso(), R::CaricamentoFallito, 0, MotivoCaricamento::Cartella},
      {dir / "testo.dll", R::CaricamentoFallito, 0, MotivoCaricamento::NonLibreria},
      {AccantoAlProgramma("standin-component-vuota.dll"), R::EntryPointMancante},
      {AccantoAlProgramma("standin-component-errore.dll"), R::Conclusa, static_cast<std::int32_t>(0x80004005u)},
      {AccantoAlProgramma("standin-component-rifiuta.dll"), R::Conclusa, static_cast<std::int32_t>(0x80040201u)},
      {AccantoAlProgramma("standin-component-sfalse.dll"), R::Conclusa, 1},
      {AccantoAlProgramma("standin-component-crash.dll"), R::Errore},
      {AccantoAlProgramma("standin-component-esce.dll"), R::Errore},
      // A fresh worker after the crash.
      {AccantoAlProgramma("standin-component-errore.dll"), R::Conclusa, static_cast<std::int32_t>(0x80004005u)},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(Chiedi(c.dll), c.attesa) << c.dll;
    EXPECT_EQ(ultimo_.risultato, c.risultato) << c.dll;
    EXPECT_EQ(ultimo_.motivo, c.motivo) << c.dll;
  }
}

// A component that never returns: the time-out after the limit, the worker
// left running until Termina, a fresh one for the next call.
TEST_F(TrasportoWorkerWin32Test, TimeOutPoiTerminaPoiNuovoWorker) {
  const auto inizio = std::chrono::steady_clock::now();
  EXPECT_EQ(Chiedi(AccantoAlProgramma("standin-component-blocca.dll"), 300ms), R::TimeOut);
  EXPECT_GE(std::chrono::steady_clock::now() - inizio, 300ms);
  ASSERT_NE(avvio_->ultimo, nullptr);
  const HANDLE vecchio = OpenProcess(SYNCHRONIZE, FALSE, avvio_->ultimo->Pid());
  ASSERT_NE(vecchio, nullptr);
  EXPECT_EQ(WaitForSingleObject(vecchio, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  canale_.Termina();
  EXPECT_EQ(WaitForSingleObject(vecchio, 0), WAIT_OBJECT_0);
  CloseHandle(vecchio);
  EXPECT_EQ(Chiedi(AccantoAlProgramma("standin-component-errore.dll"), 10s, "DllUnregisterServer"), R::Conclusa);
}

std::wstring ValorePredefinito(const std::wstring& chiave) {
  wchar_t valore[1024];
  DWORD n = sizeof valore;
  if (RegGetValueW(HKEY_CLASSES_ROOT, chiave.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, valore, &n) != ERROR_SUCCESS)
    return {};
  return valore;
}

// The template component writes its own keys, in the registry of the
// system the worker runs on, and removes them.
TEST_F(TrasportoWorkerWin32Test, RegistrazioneArrivaAlRegistro) {
  CartellaProva dir;
  const std::string dll = dir / "cwprova.dll";
  ASSERT_TRUE(CopyFileW(Wide(AccantoAlProgramma("standin-component.dll")).c_str(), Wide(dll).c_str(), TRUE));
  ASSERT_EQ(Chiedi(dll), R::Conclusa);
  const std::wstring clsid = ValorePredefinito(L"cwprova.Classe1\\CLSID");
  ASSERT_FALSE(clsid.empty());
  EXPECT_EQ(ValorePredefinito(L"CLSID\\" + clsid + L"\\InprocServer32"), Wide(dll));
  ASSERT_EQ(Chiedi(dll, 10s, "DllUnregisterServer"), R::Conclusa);
  EXPECT_EQ(ValorePredefinito(L"cwprova.Classe1\\CLSID"), L"");
}

}  // namespace
}  // namespace cw
