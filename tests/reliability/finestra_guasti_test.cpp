// The faults of the pass met by the real window: "Backup e versione" clicked
// on frmCompilazione (offscreen) with every file operation failing in turn.
// Each click ends in the run-time error box with the failing row's line left
// in the log, and the same window then takes the next click; at the end a
// clean click completes.

#include <gtest/gtest.h>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include "support/ambiente_qt.h"
#include "support/contesto_prova.h"

#include <iostream>
#include <memory>

#include "app/frmCompilazione.h"
#include "app/puntatore.h"
#include "base/ansi.h"
#include "base/errors.h"
#include "reliability/suite_guasti.h"
#include "support/fault_injecting_filesystem.h"

namespace cw::test {
namespace {

[[maybe_unused]] ::testing::Environment* const kAmbiente = ::testing::AddGlobalTestEnvironment(new AmbienteQt);

// The suite and the failing file service the button's command runs on this
// time; the window's own fields and face stay its own.
SuiteGuasti* g_suite = nullptr;
FaultInjectingFileSystem* g_fso = nullptr;

Esito VersioneConGuasti(Contesto& finestra) {
  Contesto ctx = test::ContestoDiProva(*g_fso, g_suite->catalogo, finestra.ui, finestra.campi);
  ctx.fileIni = finestra.fileIni;
  return cmdImpostaVersione_Click(ctx);
}

struct Box {
  std::string testo;
  QMessageBox::Icon icona;
};

TEST(FinestraGuasti, EveryFailingOperationEndsInTheErrorBoxAndTheWindowGoesOn) {
  PrefissoTemporaneo cartella;  // the window's settings file
  qputenv("WINEPREFIX", QByteArray::fromStdString(cartella.Dir().string()));
  frmCompilazione finestra([&] { return (cartella.Dir() / "WexoUty.ini").string(); });
  std::vector<Box> boxes;
  finestra.IntercettaMessaggi([&](QMessageBox& box) {
    boxes.push_back({box.text().toStdString(), box.icon()});
    box.defaultButton()->click();
  });
  finestra.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
  ASSERT_TRUE(finestra.CollegaComando("cmdImpostaVersione", &VersioneConGuasti));
  auto* pulsante = finestra.findChild<QPushButton*>("cmdImpostaVersione");
  ASSERT_NE(pulsante, nullptr);
  finestra.ImpostaTesto(Campo::txtVersionePrincipale, "2");
  finestra.ImpostaTesto(Campo::txtVersioneSecondario, "0");
  finestra.ImpostaTesto(Campo::txtVersioneRevisione, "5");
  finestra.ImpostaIncrementoAutomatico(0);

  // A clean click first, to count the operations.
  long totale = 0;
  {
    SuiteGuasti suite;
    FaultInjectingFileSystem fso(suite.fso);
    g_suite = &suite;
    g_fso = &fso;
    QTest::mouseClick(pulsante, Qt::LeftButton);
    totale = fso.CallCount();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.back().testo, "Backup e impostazione versione effettuate");
  }
  ASSERT_GT(totale, 100);

  const std::string atteso = ErroreRuntime(kErroreIo).TestoMessaggio();
  int superati = 0;
  for (long n = 1; n <= totale; ++n) {
    SuiteGuasti suite;
    FaultInjectingFileSystem fso(suite.fso);
    fso.FailCall(n, kErroreIo);
    g_suite = &suite;
    g_fso = &fso;
    boxes.clear();
    QTest::mouseClick(pulsante, Qt::LeftButton);
    const std::string ultima = finestra.LogCount() ? finestra.LogItem(finestra.LogCount() - 1) : "";
    // A fault in the checks made before the first row (the suite's listing,
    // the files' existence, emptiness and writability) stops the click before
    // the frame: the log keeps the previous click's lines. Every row begins
    // with a rename or a copy, which no check makes.
    bool primaDelleRighe = true;
    using Op = FaultInjectingFileSystem::Op;
    for (const auto& c : fso.Trace())
      if (c.number < n && c.op != Op::FileExists && c.op != Op::FolderExists && c.op != Op::GetFolder &&
          c.op != Op::CheckWritable && c.op != Op::Tipo && c.op != Op::OpenTextFile && c.op != Op::AtEndOfStream &&
          c.op != Op::Close)
        primaDelleRighe = false;
    const bool inCorso = ultima.size() > 12 && ultima.compare(ultima.size() - 12, 12, " in corso...") == 0;
    const bool ok = boxes.size() == 1 && boxes[0].testo == atteso && boxes[0].icona == QMessageBox::Critical &&
                    !finestra.ComandoInCorso() && PuntatoreCorrente() == kPuntatorePredefinito &&
                    (inCorso || primaDelleRighe) && suite.NienteDiPerso();
    EXPECT_TRUE(ok) << "operation " << n << ": " << boxes.size() << " boxes"
                    << (boxes.empty() ? "" : ", first: " + boxes[0].testo) << "; last log line: " << ultima;
    if (ok) ++superati;
  }
  std::cout << "[ numbers  ] window: " << totale << " faults injected, " << superati << " passed" << std::endl;

  // The window is still usable: a clean click completes.
  SuiteGuasti suite;
  FaultInjectingFileSystem fso(suite.fso);
  g_suite = &suite;
  g_fso = &fso;
  boxes.clear();
  QTest::mouseClick(pulsante, Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].testo, "Backup e impostazione versione effettuate");
  EXPECT_EQ(finestra.LogItem(finestra.LogCount() - 1), "Pronto");
  for (size_t i = 0; i < suite.righe.size(); ++i) EXPECT_EQ(suite.Leggi(suite.Progetto(i)), suite.Nuovo(i)) << i;
  g_suite = nullptr;
  g_fso = nullptr;
}

}  // namespace
}  // namespace cw::test
