#include "registration/modRegistraDll.h"

#include <cstdio>

namespace cw {

namespace {

// The second paragraph of the load failure's box: the file and why.
std::string PercheNonCaricata(const std::string& percorso, const EsitoRegistrazione& esito) {
  const std::string file = "Il file '" + percorso + "'";
  switch (esito.motivo) {
    case MotivoCaricamento::Mancante: return file + " non esiste.";
    case MotivoCaricamento::Cartella: return "'" + percorso + "' è una cartella, non un file.";
    case MotivoCaricamento::Troncata: return file + " è troncato.";
    case MotivoCaricamento::NonLibreria: return file + " non è una libreria Windows.";
    case MotivoCaricamento::A64Bit: return file + " è una libreria a 64 bit, il registratore è a 32 bit.";
    case MotivoCaricamento::A32Bit: return file + " è una libreria a 32 bit, il registratore è a 64 bit.";
    case MotivoCaricamento::SenzaWine: return file + " è una libreria Windows, ma Wine non si trova nel PATH.";
    case MotivoCaricamento::Rifiutata: break;
  }
  return file + " non si può caricare" + (esito.messaggio.empty() ? "." : ": " + esito.messaggio);
}

}  // namespace

std::string EsadecimaleHresult(std::int32_t risultato) {
  char testo[16];
  std::snprintf(testo, sizeof testo, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(risultato)));
  return testo;
}

RegistratoreIsolato::RegistratoreIsolato(Ui& ui, std::unique_ptr<CanaleRegistrazione> canale,
                                         std::chrono::milliseconds limite, Attesa* attesa)
    : ui_(ui), canale_(std::move(canale)), limite_(limite), attesa_(attesa) {}

bool RegistratoreIsolato::RegistraDll(const std::string& percorso, std::int32_t flag) {
  const char* entryPoint = flag == 0 ? "DllRegisterServer" : "DllUnregisterServer";
  using R = RispostaRegistrazione;
  const EsitoRegistrazione esito = canale_->Chiedi(entryPoint, percorso, limite_, attesa_);
  switch (esito.risposta) {
    case R::Conclusa:
      // S_OK, S_FALSE and any other success code; a failure code means the
      // component did not register (or unregister) itself.
      if (esito.risultato >= 0) return true;
      ui_.MsgBox("Registrazione fallita: la funzione di '" + percorso + "' ha restituito " +
                     EsadecimaleHresult(esito.risultato) + ".",
                 kStileCritico, "Register Server");
      return false;
    case R::CaricamentoFallito:
      ui_.MsgBox("Errore caricando la DLL\n\n" + PercheNonCaricata(percorso, esito), kStileCritico, "Register Server");
      return false;
    case R::EntryPointMancante:
    case R::NonAvviato:
      ui_.MsgBox("Registrazione fallita EntryPoint mancante '" + percorso + "'.", kStileCritico,
                 "Registrazione Fallita!");
      return false;
    case R::Errore:
      // The component crashed the worker: told like the time-out, naming the
      // failure for what it is.
      ui_.MsgBox("Registrazione fallita per errore di '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
      return false;
    case R::TimeOut: break;
  }
  // The user learns of the time-out first; the worker is ended once the box
  // is dismissed, even if it has finished meanwhile.
  ui_.MsgBox("Registrazione fallita per time-out da '" + percorso + "'.", kStileCritico, "Registrazione fallita!");
  canale_->Termina();
  return false;
}

}  // namespace cw
