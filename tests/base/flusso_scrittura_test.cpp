// The writing stream over a sink that can fail: what reaches the file, that
// the file is closed whatever happened, and which failure is told.

#include "base/flusso_scrittura.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/errore.h"

namespace cw {
namespace {

struct Registro {
  std::string scritto;
  int chiusure = 0;
  unsigned long erroreScrittura = 0;
  unsigned long erroreChiusura = 0;
};

// A failure is told as run-time error 57 for a write and 58 for a close, so
// the test sees which one was raised.
class DestinazioneFinta : public DestinazioneScrittura {
 public:
  explicit DestinazioneFinta(Registro& r) : r_(r) {}
  unsigned long Scrivi(std::string_view dati) override {
    if (r_.erroreScrittura) return r_.erroreScrittura;
    r_.scritto += dati;
    return 0;
  }
  unsigned long Chiudi() override {
    ++r_.chiusure;
    return r_.erroreChiusura;
  }
  void Solleva(unsigned long, bool chiusura) override { SollevaErrore(chiusura ? 58 : 57, "finto"); }

 private:
  Registro& r_;
};

TEST(WritingStream, ClosesTheFileWhateverHappenedAndTellsTheFirstFailure) {
  struct Caso {
    const char* nome;
    unsigned long erroreScrittura, erroreChiusura;
    bool chiudeConClose;
    int erroreAtteso;
    const char* scrittoAtteso;
  } casi[] = {
      {"all well", 0, 0, true, 0, "a\r\nb"},
      {"write fails", 5, 0, true, 57, ""},
      {"close fails", 0, 5, true, 58, "a\r\nb"},
      {"both fail: the write is told", 5, 5, true, 57, ""},
      {"the destructor flushes", 0, 0, false, 0, "a\r\nb"},
      {"the destructor swallows a failure", 5, 5, false, 0, ""},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Registro r;
    r.erroreScrittura = c.erroreScrittura;
    r.erroreChiusura = c.erroreChiusura;
    int errore = 0;
    {
      WritingStream flusso(std::make_unique<DestinazioneFinta>(r));
      flusso.WriteLine("a");
      flusso.Write("b");
      if (c.chiudeConClose) {
        errore = test::ErroreDi([&] { flusso.Close(); });
        EXPECT_EQ(test::ErroreDi([&] { flusso.Write("c"); }), kNomeFileNonValido);
      }
    }
    EXPECT_EQ(errore, c.erroreAtteso);
    EXPECT_EQ(r.scritto, c.scrittoAtteso);
    EXPECT_EQ(r.chiusure, 1);
  }
}

TEST(WritingStream, AFullBufferIsWrittenThroughBeforeClose) {
  Registro r;
  WritingStream flusso(std::make_unique<DestinazioneFinta>(r));
  const std::string blocco(64 * 1024, 'x');
  flusso.Write(blocco);
  EXPECT_EQ(r.scritto.size(), blocco.size());
  r.erroreScrittura = 5;
  EXPECT_EQ(test::ErroreDi([&] { flusso.Write(blocco); }), 57);
}

}  // namespace
}  // namespace cw
