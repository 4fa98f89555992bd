#include "platform/linux/programma_locale_linux.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <thread>

#include "platform/linux/discendenza_linux.h"
#include "platform/linux/fine_su_segnale_linux.h"
#include "platform/linux/terminale_linux.h"

namespace cw {

ProgrammaLocaleLinux::ProgrammaLocaleLinux(pid_t pid, int pidfd, unsigned long discendenza, bool primoPiano,
                                           Attesa* attesa, std::shared_ptr<RaccoglitoreLinux> raccoglitore)
    : pid_(pid),
      pidfd_(pidfd),
      discendenza_(discendenza),
      primoPiano_(primoPiano),
      attesa_(attesa),
      raccoglitore_(std::move(raccoglitore)) {
  raccoglitore_->Nato();
}

ProgrammaLocaleLinux::~ProgrammaLocaleLinux() {
  if (!uscita_.finito && !Raccogli(false)) {
    raccoglitore_->Affida(pid_, pidfd_);
    return;
  }
  if (pidfd_ >= 0) ::close(pidfd_);
}

bool ProgrammaLocaleLinux::Raccogli(bool attendi) {
  if (uscita_.finito) return true;
  if (!RaccogliFiglio(pid_, uscita_, attendi)) return false;
  raccoglitore_->Raccolto();
  return true;
}

std::optional<std::uint32_t> ProgrammaLocaleLinux::CodiceUscita() const {
  if (!uscita_.finito) return std::nullopt;
  return uscita_.codice;
}

EsitoAttesa ProgrammaLocaleLinux::Attendi(std::chrono::milliseconds limite) {
  using Orologio = std::chrono::steady_clock;
  if (uscita_.finito) return EsitoAttesa::Finito;
  const bool infinito = limite == kSenzaLimite;
  const auto scadenza = infinito ? Orologio::time_point::max() : Orologio::now() + limite;
  Attesa& attesa = attesa_ ? *attesa_ : bloccata_;
  const int segnale = DescrittoreSegnale();
  EsitoAttesa esito = EsitoAttesa::InCorso;
  int fine = 0;  // the signal that ends the tool
  RegistraDaTerminare(pid_, true);
  {
    TerminaleCeduto terminale(primoPiano_, pid_);
    {
      AscoltoSegnale ascolto;
      for (;;) {
        int ms = -1;
        if (!infinito) {
          const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
          ms = static_cast<int>(std::clamp<long long>(resto, 0, INT_MAX));
        }
        if (pidfd_ < 0) ms = infinito ? 5 : std::min(ms, 5);  // no pidfd: poll the status
        // A stop is not told by the pidfd.
        if (terminale.Descrittore() >= 0) ms = ms < 0 ? 100 : std::min(ms, 100);
        OggettoAttesa p[2];
        std::size_t n = 0;
        if (pidfd_ >= 0) p[n++] = pidfd_;
        if (segnale >= 0) p[n++] = segnale;
        if (attesa.Aspetta(p, n, ms) == kAttesaFallita && errno != EINTR) {
          esito = EsitoAttesa::Fallita;
          break;
        }
        if ((fine = SegnaleArrivato())) break;
        if (Raccogli(false)) {
          esito = EsitoAttesa::Finito;
          // Ctrl+C went to the program in front, not to the tool: the tool
          // ends as it would have with the terminal.
          if (terminale.Descrittore() >= 0 && uscita_.segnale == SIGINT) fine = SIGINT;
          break;
        }
        terminale.RiprendiSeFermato();
        if (!infinito && Orologio::now() >= scadenza) break;
      }
    }
    if (!fine) fine = SegnaleArrivato();
    // Before the terminal is taken back: a viewer puts it back as it was.
    if (fine) TerminaAtteso();
  }
  TogliDaTerminare(pid_, true);
  if (fine) throw FineSuSegnale{fine};
  return esito;
}

void ProgrammaLocaleLinux::TerminaAtteso() {
  // Asked first, so a viewer on the terminal can put it back as it was; a
  // stopped member is continued to hear it.
  ::kill(-pid_, SIGTERM);
  ::kill(-pid_, SIGCONT);
  bool finito = false;
  for (int i = 0; i < 100 && !finito; ++i) {
    // The group is gone once its leader is reaped and no member is left.
    finito = Raccogli(false) && ::kill(-pid_, 0) < 0 && errno == ESRCH;
    if (!finito) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // What left the group (a setsid) heard nothing of it.
  TerminaDiscendenza(discendenza_);
  if (finito) return;
  ::kill(-pid_, SIGKILL);
  Raccogli(true);
}

void ProgrammaLocaleLinux::Termina() {
  if (uscita_.finito) return;
  // The group is still there: its leader is not reaped yet.
  ::kill(-pid_, SIGKILL);
  TerminaDiscendenza(discendenza_);
  Raccogli(true);
}

}  // namespace cw
