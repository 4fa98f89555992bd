// While a command waits for a program it started, the window runs its
// event pump: timers fire and it paints, but clicks, keys and a close
// request reach nothing until the command has ended. SIGTERM meanwhile
// ends the program, then the window.

#include <signal.h>
#include <unistd.h>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "finestra_fixture.h"
#include "platform/fine_su_segnale.h"
#include "platform/processi.h"
#include "support/sistema_prova.h"

namespace cw::test {
namespace {

struct Visto {
  int scatti = 0;   // timer ticks while the program ran
  int dipinti = 0;  // paints of the log while the program ran
  int altri = 0;    // commands run by a click during the wait
  EsitoAttesa esito = EsitoAttesa::Fallita;
  std::chrono::steady_clock::duration durata{};
};
Visto g_visto;
frmCompilazione* g_finestra = nullptr;

class ContaDipinti : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++g_visto.dipinti;
    return false;
  }
};

Esito Altro(Contesto&) {
  ++g_visto.altri;
  return Esito::Completato;
}

// Runs a program for a while and waits for it as the builds are waited for.
// Meanwhile a timer ticks, the log is asked to repaint, and the user types,
// clicks another command and asks the window to close.
Esito AttendeUnProgramma(Contesto& ctx) {
  QTimer scatto;
  QObject::connect(&scatto, &QTimer::timeout, [&] {
    ++g_visto.scatti;
    g_finestra->findChild<QListWidget*>("lstInformazioni")->viewport()->update();
  });
  scatto.start(20);
  QTimer::singleShot(150, g_finestra, [] {
    QTest::keyClicks(g_finestra->findChild<QLineEdit*>("txtCommenti"), "x");
    QTest::mouseClick(g_finestra->findChild<QPushButton*>("cmdRegistra"), Qt::LeftButton);
    g_finestra->close();
  });
  const auto inizio = std::chrono::steady_clock::now();
  g_visto.esito = ctx.processi->Avvia("/bin/sleep 0.6", kFinestraRidotta)->Attendi(kSenzaLimite);
  g_visto.durata = std::chrono::steady_clock::now() - inizio;
  scatto.stop();
  return Esito::Completato;
}

TEST_F(FinestraTest, WhileItWaitsForAProgramTheWindowPaintsButTakesNoInputAndStaysOpen) {
  g_visto = {};
  g_finestra = &Apri();
  ContaDipinti conta;
  finestra->findChild<QListWidget*>("lstInformazioni")->viewport()->installEventFilter(&conta);
  ASSERT_TRUE(finestra->CollegaComando("cmdBackup", &AttendeUnProgramma));
  ASSERT_TRUE(finestra->CollegaComando("cmdRegistra", &Altro));
  QTest::mouseClick(Controllo<QPushButton>("cmdBackup"), Qt::LeftButton);
  QApplication::processEvents();

  EXPECT_EQ(g_visto.esito, EsitoAttesa::Finito);
  EXPECT_GE(g_visto.durata, std::chrono::milliseconds(500));
  EXPECT_GE(g_visto.scatti, 5);
  EXPECT_GE(g_visto.dipinti, 1);
  EXPECT_EQ(g_visto.altri, 0);
  EXPECT_EQ(Controllo<QLineEdit>("txtCommenti")->text(), QString());
  EXPECT_TRUE(finestra->isVisible());
  EXPECT_FALSE(finestra->InputBloccato());
  // Once the run has ended the window takes input again.
  QTest::mouseClick(Controllo<QPushButton>("cmdRegistra"), Qt::LeftButton);
  EXPECT_EQ(g_visto.altri, 1);
  g_finestra = nullptr;
}

// The program it waits for sends the window SIGTERM, then sleeps.
std::string g_programma;
Esito AttendeChiLoFerma(Contesto& ctx) {
  ctx.processi->Avvia(g_programma, kFinestraRidotta)->Attendi(kSenzaLimite);
  return Esito::Completato;
}

TEST_F(FinestraTest, SigtermWhileItWaitsEndsTheProgramThenTheWindow) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The window runs in a process of its own, which finds the folder here.
  if (!std::getenv("CW_TEST_CARTELLA")) setenv("CW_TEST_CARTELLA", prefisso.Dir().c_str(), 1);
  const std::string cartella = std::getenv("CW_TEST_CARTELLA");
  g_programma = cartella + "/ferma";
  std::ofstream(g_programma) << "#!/bin/sh\necho $$ > \"$0.pid\"\n(sleep 0.3; kill -TERM $PPID) &\nexec sleep 600\n";
  std::filesystem::permissions(g_programma, std::filesystem::perms::owner_all);
  EXPECT_EXIT(
      {
        test::SistemaDiProva().segnali->PreparaFineSuSegnale();
        frmCompilazione& f = Apri();
        f.CollegaComando("cmdBackup", &AttendeChiLoFerma);
        QTimer::singleShot(0, &f, [this] { QTest::mouseClick(Controllo<QPushButton>("cmdBackup"), Qt::LeftButton); });
        ::_exit(QApplication::exec());  // the code main would return
      },
      ::testing::ExitedWithCode(128 + SIGTERM), "");
  unsetenv("CW_TEST_CARTELLA");
  long programma = 0;
  std::ifstream(g_programma + ".pid") >> programma;
  ASSERT_GT(programma, 0);
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (::kill(static_cast<pid_t>(programma), 0) == 0 && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(::kill(static_cast<pid_t>(programma), 0), 0) << "the program waited for still runs";
}

}  // namespace
}  // namespace cw::test
