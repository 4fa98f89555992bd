// The overlap section of the base address report and the command that
// writes its proposal, over a small suite with two planted overlaps.

#include <gtest/gtest.h>

#include "commands/comandi.h"
#include "support/contesto_prova.h"
#include "support/suite_prova.h"
#include "support/ui_registrata.h"
#include "tools/pe_prova.h"

namespace cw {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
struct Prova {
  // A spans three 64 KB blocks (its built image says so); B and C start
  // inside it; D declares no address; the others are no "dll" rows.
  test::SuiteProva suite{{{"A", "A.vbp"},
                          {"B", "B.vbp"},
                          {"C", "C.vbp"},
                          {"D", "D.vbp"},
                          {"E", "E.vbp", "exe"},
                          {"F", "F.vbp", "dll-skipcompile"}}};
  test::UiRegistrata ui;
  CampiInMemoria campi;
  Contesto ctx = test::ContestoDiProva(suite.fso, suite.catalogo, ui, campi);
  Prova() {
    const char* indirizzi[] = {"&H11000000", "&H11010000", "&H11020000", nullptr, "&H11000000", "&H11000000"};
    for (std::size_t i = 0; i < 6; ++i)
      suite.Scrivi(suite.Progetto(i), std::string("Type=OleDll\r\nName=\"X\"\r\n") +
                                          (indirizzi[i] ? "DllBaseAddress=" + std::string(indirizzi[i]) + "\r\n" : ""));
    suite.Scrivi("C:\\Orbalis\\Componenti\\A.dll", test::Pe(0x2F000));
    suite.Scrivi("C:\\Orbalis\\Componenti\\C.dll", "built by a stand-in");
  }
  std::vector<std::string> Sezione() const {
    auto inizio = std::find(ui.log.begin(), ui.log.end(), "Sovrapposizioni degli indirizzi di base DLL");
    return {inizio, ui.log.end()};
  }
};
#pragma GCC diagnostic pop

TEST(IndirizziDll, OverlapsAreReportedThenMovedByTheProposal) {
  Prova p;
  EXPECT_EQ(EseguiComando(p.ctx, &mnuSovrapposizioniDll_Click), Esito::Fallito);
  EXPECT_EQ(p.ui.log.front(), "Indirizzo di base di: A.VBP                         =&H11000000");
  EXPECT_EQ(p.Sezione(),
            (std::vector<std::string>{
                "Sovrapposizioni degli indirizzi di base DLL",
                "Immagine di: A.VBP                         &H11000000-&H1102FFFF  188 KB",
                "Immagine di: B.VBP                         &H11010000-&H1101FFFF  non compilato",
                "Immagine di: C.VBP                         &H11020000-&H1102FFFF  64 KB (non è un'immagine Windows)",
                "Immagine di: D.VBP                         senza indirizzo  non compilato",
                "Sovrapposizione: A.VBP e B.VBP",
                "Sovrapposizione: A.VBP e C.VBP",
                "Senza indirizzo: D.VBP",
                "Indirizzo proposto per: B.VBP                         &H11030000",
                "Indirizzo proposto per: C.VBP                         &H11040000",
                "Indirizzo proposto per: D.VBP                         &H11050000",
            }));

  p.ui.log.clear();
  EXPECT_EQ(EseguiComando(p.ctx, &mnuApplicaIndirizziDll_Click), Esito::Completato);
  const struct {
    std::size_t riga;
    std::string contenuto;
  } attesi[] = {
      {0, "Type=OleDll\r\nName=\"X\"\r\nDllBaseAddress=&H11000000\r\n"},
      {1, "Type=OleDll\r\nName=\"X\"\r\nDllBaseAddress=&H11030000\r\n"},
      {2, "Type=OleDll\r\nName=\"X\"\r\nDllBaseAddress=&H11040000\r\n"},
      {3, "Type=OleDll\r\nDllBaseAddress=&H11050000\r\nName=\"X\"\r\n"},  // put where the environment writes it
      {4, "Type=OleDll\r\nName=\"X\"\r\nDllBaseAddress=&H11000000\r\n"},
  };
  for (const auto& a : attesi) {
    EXPECT_EQ(p.suite.Leggi(p.suite.Progetto(a.riga)), a.contenuto) << a.riga;
    EXPECT_TRUE(p.suite.Esiste(p.suite.Progetto(a.riga) + "_1")) << a.riga;  // the backup came first
  }
  EXPECT_EQ(p.ui.log.back(), "Pronto");

  EXPECT_EQ(EseguiComando(p.ctx, &mnuSovrapposizioniDll_Click), Esito::Completato);
  EXPECT_EQ(p.Sezione().back(), "Nessun indirizzo da cambiare");
}

// Invalid addresses are listed as such, overlap nothing and are moved.
TEST(IndirizziDll, InvalidAddressesAreListedAndGetAProposal) {
  Prova p;
  p.suite.Scrivi(p.suite.Progetto(1), "Type=OleDll\r\nDllBaseAddress=&H11010001\r\n");
  p.suite.Scrivi(p.suite.Progetto(2), "Type=OleDll\r\nDllBaseAddress=&H0\r\n");
  EXPECT_EQ(EseguiComando(p.ctx, &mnuSovrapposizioniDll_Click), Esito::Completato);
  EXPECT_EQ(p.Sezione(),
            (std::vector<std::string>{
                "Sovrapposizioni degli indirizzi di base DLL",
                "Immagine di: A.VBP                         &H11000000-&H1102FFFF  188 KB",
                "Immagine di: B.VBP                         &H11010001 non valido  non compilato",
                "Immagine di: C.VBP                         &H00000000 non valido  64 KB (non è un'immagine Windows)",
                "Immagine di: D.VBP                         senza indirizzo  non compilato",
                "Nessuna sovrapposizione",
                "Senza indirizzo: D.VBP",
                "Indirizzo non valido: B.VBP                         &H11010001",
                "Indirizzo non valido: C.VBP                         &H00000000",
                "Indirizzo proposto per: B.VBP                         &H11030000",
                "Indirizzo proposto per: C.VBP                         &H11040000",
                "Indirizzo proposto per: D.VBP                         &H11050000",
            }));
  EXPECT_EQ(EseguiComando(p.ctx, &mnuApplicaIndirizziDll_Click), Esito::Completato);
  EXPECT_EQ(p.suite.Leggi(p.suite.Progetto(2)), "Type=OleDll\r\nDllBaseAddress=&H11040000\r\n");
}

// A file without the key gets it after its "Type=" line; one without such a
// line (exactly so) is left alone, and its row and the command say so.
TEST(IndirizziDll, AFileWithNoTypeLineIsLeftAloneAndSaysSo) {
  const struct {
    std::string contenuto;  // of D, which declares no address
    bool scritto;
  } casi[] = {
      {"Type=OleDll\r\nName=\"D\"\r\n", true},
      {"type=OleDll\r\nName=\"D\"\r\n", false},
      {" Type=OleDll\r\n", false},
      {"Name=\"D\"\r\n", false},
      // An empty file is refused before any row (comandi_editing_test.cpp).
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.contenuto);
    Prova p;
    p.suite.Scrivi(p.suite.Progetto(3), c.contenuto);
    EXPECT_EQ(EseguiComando(p.ctx, &mnuApplicaIndirizziDll_Click), c.scritto ? Esito::Completato : Esito::Fallito);
    const std::string d = p.suite.Leggi(p.suite.Progetto(3));
    EXPECT_EQ(d == c.contenuto, !c.scritto) << d;
    EXPECT_NE(
        std::find(p.ui.log.begin(), p.ui.log.end(),
                  "Impostazione indirizzo di base di D.VBP in corso..." + std::string(c.scritto ? " OK!" : " ERRORE!")),
        p.ui.log.end());
    ASSERT_EQ(p.ui.messaggi.size(), c.scritto ? 0u : 1u);
    if (!c.scritto) {
      EXPECT_EQ(p.ui.messaggi[0].testo,
                "Indirizzo di base non scritto: nel file '" + p.suite.Progetto(3) +
                    "' manca la riga \"Type=\", dopo la quale va messo; il file è rimasto com'era.");
    }
    // The other rows are written all the same.
    EXPECT_EQ(p.suite.Leggi(p.suite.Progetto(1)), "Type=OleDll\r\nName=\"X\"\r\nDllBaseAddress=&H11030000\r\n");
    EXPECT_EQ(p.ui.log.back(), "Pronto");
  }
}

}  // namespace
}  // namespace cw
