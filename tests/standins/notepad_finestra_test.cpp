#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "blocco_note.h"
#include "support/ambiente_qt.h"
#include "support/prefisso_temporaneo.h"

namespace cw::notepad {
namespace {

[[maybe_unused]] ::testing::Environment* const kAmbiente =
    ::testing::AddGlobalTestEnvironment(new cw::test::AmbienteQt);

QApplication& App() { return *qApp; }

TEST(StandinNotepad, TheWholeCommandLineIsTheFileName) {
  // "Notepad.exe C:\Progetti VB\Wexo\ErroriCompilazione.txt" arrives split at the blank.
  EXPECT_EQ(NomeDaArgomenti({"C:\\Progetti", "VB\\Wexo\\ErroriCompilazione.txt"}),
            "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt");
  EXPECT_EQ(NomeDaArgomenti({}), "");
  EXPECT_EQ(NomeBreve("C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt"), "ErroriCompilazione.txt");
  EXPECT_EQ(NomeBreve("nota.txt"), "nota.txt");
}

TEST(StandinNotepad, ShowsTheFileReadOnlyDecodedFromWindows1252) {
  App();
  test::PrefissoTemporaneo pref;
  pref.Scrivi("C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt",
              "Impossibile trovare il file 'Form\\X.frm'.\r\nCompatibilit\xE0 \x80 5\r\nultima");
  const auto d = Apri(DriveTable(pref.Dir()), "c:\\progetti vb\\wexo\\erroricompilazione.TXT");
  ASSERT_TRUE(d.trovato);
  const auto w = Finestra(d);
  EXPECT_TRUE(w->isReadOnly());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("erroricompilazione.TXT - Blocco note"));
  EXPECT_EQ(w->toPlainText(),
            QString::fromUtf8("Impossibile trovare il file 'Form\\X.frm'.\nCompatibilità € 5\nultima"));
}

TEST(StandinNotepad, AMissingFileIsNotFound) {
  test::PrefissoTemporaneo pref;
  EXPECT_FALSE(Apri(DriveTable(pref.Dir()), "C:\\manca.txt").trovato);
  EXPECT_FALSE(Apri(DriveTable(pref.Dir()), "C:\\").trovato);
}

TEST(StandinNotepad, ClosingTheWindowEndsTheEventLoop) {
  QApplication& app = App();
  const auto w = Finestra({"C:\\a.txt", true, "testo"});
  w->show();
  QTimer::singleShot(0, w.get(), [&] { w->close(); });
  // A loop that did not end would hang here; the guard makes it a failure instead.
  bool scaduto = false;
  QTimer::singleShot(5000, &app, [&] {
    scaduto = true;
    app.quit();
  });
  EXPECT_EQ(app.exec(), 0);
  EXPECT_FALSE(scaduto);
}

}  // namespace
}  // namespace cw::notepad
