// "Backup, compatibilità e compilazione" end to end: a fresh sandbox of the
// whole catalogue, the real window clicked, the real process service
// starting the stand-in development environment 148 times, the real
// registration. The viewer is a script that notes its command line and ends
// at once.

#include <gtest/gtest.h>
#include "support/ambiente_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/caratteri.h"
#include "app/frmCompilazione.h"
#include "base/ansi.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/linux/processi_linux.h"
#include "registration/modRegistraDll.h"
#include "sandbox.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

const std::string kBin = CW_BIN_DIR;
const std::string kVisore = "C:\\Windows\\System32\\subito.exe";

std::string Leggi(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

[[maybe_unused]] ::testing::Environment* const kAmbiente =
    ::testing::AddGlobalTestEnvironment(new test::AmbienteQt([] { CaricaCaratteri(); }));

class TuttoEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "cw-e2e-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    sandbox_ = dir_ / "sandbox";
    CatalogoComponenti catalogo;
    CaricaCatalogo(catalogo);
    // The stand-in as a link, so it finds the stand-in components beside its real path.
    sandbox::CreaSandbox(sandbox_, catalogo, {false, {{sandbox::kVb6, fs::path(kBin) / "standin-vb6", true}}});
    const fs::path visore = dir_ / "visore.sh";
    std::ofstream(visore) << "#!/bin/sh\necho \"$@\" >> '" << (dir_ / "visti.txt").string() << "'\n";
    fs::permissions(visore, fs::perms::owner_all);
    sandbox::InstallaProgrammi(sandbox_, {{kVisore, visore, false}});
    qputenv("WINEPREFIX", QByteArray::fromStdString(sandbox_.string()));
  }
  void TearDown() override {
    finestra_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  frmCompilazione& Finestra() {
    finestra_ = std::make_unique<frmCompilazione>([this] { return (dir_ / "WexoUty.ini").string(); });
    finestra_->IntercettaMessaggi([this](QMessageBox& box) {
      boxes_.push_back(box.text().toStdString());
      box.defaultButton()->click();
    });
    Contesto& ctx = finestra_->ContestoComandi();
    ctx.visualizzatore = kVisore;
    EXPECT_NE(ctx.processi, nullptr);
    EXPECT_NE(ctx.registratore, nullptr);
    finestra_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(finestra_.get()));
    return *finestra_;
  }
  void Clicca() {
    boxes_.clear();
    finestra_->findChild<QPushButton*>(QStringLiteral("cmdTutto"))->click();
  }
  std::vector<std::string> Log() const {
    std::vector<std::string> righe;
    for (int i = 0; i < finestra_->LogCount(); ++i) righe.push_back(finestra_->LogItem(i));
    return righe;
  }
  fs::path Host(const std::string& windows) const { return *DriveTable(sandbox_).Resolve(windows); }

  fs::path dir_, sandbox_;
  std::unique_ptr<frmCompilazione> finestra_;
  std::vector<std::string> boxes_;
};

TEST_F(TuttoEndToEnd, BinaryCompatibilityBuildsEveryRowThenStopsAtAMissingForm) {
  frmCompilazione& w = Finestra();
  const CatalogoComponenti& cat = w.ContestoComandi().catalogo;
  ASSERT_TRUE(w.OpzioneSelezionata(Compatibilita::Binaria));
  Clicca();

  EXPECT_EQ(boxes_, (std::vector<std::string>{"Backup, impostazione compatibilità e compilazione effettuate"}));
  const auto log = Log();
  std::vector<std::string> compilate;
  for (const auto& r : log)
    if (r.find(") Compilazione ") != std::string::npos) compilate.push_back(r);
  ASSERT_EQ(compilate.size(), 148u) << (log.empty() ? std::string("(empty)") : log.back()) << " / " << log.size();
  for (int i = 0; i < 148; ++i)
    EXPECT_EQ(compilate[i].substr(compilate[i].size() - 16), " in corso... OK!") << compilate[i];
  EXPECT_EQ(log.back(), "Pronto");
  for (int i = 0; i < 148; ++i) EXPECT_TRUE(fs::exists(Host(cat.FileOutputCompleto(i)))) << i;
  // The component built from the first row is the stand-in DLL itself.
  EXPECT_EQ(Leggi(Host(cat.FileOutputCompleto(0))), Leggi(fs::path(kBin) / "standin-component.so"));
  EXPECT_EQ(Leggi(dir_ / "visti.txt"), "C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt\n");

  // The five copies.
  const std::vector<std::pair<int, std::string>> copie = {
      {147, "D:\\WexoApp"}, {146, "D:\\QuilApp"}, {145, "D:\\QuilApp"}, {144, "D:\\QuilApp"}, {0, "D:\\QuilApp"}};
  for (const auto& [riga, cartella] : copie)
    EXPECT_EQ(Leggi(Host(cartella + "\\" + cat(riga, kFileOutput))), Leggi(Host(cat.FileOutputCompleto(riga)))) << riga;
  EXPECT_EQ(w.Testo(Campo::txtVersioneRevisione), "1");

  // A form file gone from a project in the middle of the suite.
  int n = -1;
  std::string form;
  for (int i = 70; i < 148 && n < 0; ++i) {
    std::ifstream in(Host(cat.FileProgettoCompleto(i)), std::ios::binary);
    for (std::string riga; std::getline(in, riga);)
      if (riga.rfind("Form=", 0) == 0) {
        n = i;
        form = riga.substr(5, riga.size() - 6);  // without "Form=" and the CR
        break;
      }
  }
  ASSERT_GE(n, 0);
  fs::remove(Host(cat(n, kCartella) + "\\" + form));
  for (int i = 0; i < 148; ++i) {
    fs::permissions(Host(cat.FileOutputCompleto(i)), fs::perms::owner_write, fs::perm_options::add);
    std::ofstream(Host(cat.FileOutputCompleto(i)), std::ios::binary | std::ios::trunc) << "stale";
  }
  Clicca();

  const auto log2 = Log();
  const std::string errore = std::to_string(n) + ") Compilazione ";
  ASSERT_GE(log2.size(), 2u);
  EXPECT_EQ(log2[log2.size() - 2].rfind(errore, 0), 0u) << log2[log2.size() - 2];
  EXPECT_EQ(log2[log2.size() - 2].substr(log2[log2.size() - 2].size() - 20), " in corso... ERRORE!");
  EXPECT_EQ(log2.back(), "Pronto");
  for (const auto& r : log2) EXPECT_EQ(r.rfind(std::to_string(n + 1) + ") Compilazione ", 0), std::string::npos);
  for (int i = 0; i < 148; ++i) EXPECT_EQ(Leggi(Host(cat.FileOutputCompleto(i))) == "stale", i >= n) << i;
  const std::string report = Leggi(Host("C:\\Progetti VB\\Wexo\\ErroriCompilazione.txt"));
  EXPECT_NE(report.find("Impossibile trovare il file '" + form + "'."), std::string::npos) << report;
  // Named as the failure it is; the older programs are not deployed.
  EXPECT_EQ(boxes_, (std::vector<std::string>{"Compilazione di " + MaiuscoloUtf8(cat(n, kFileProgetto)) +
                                              " fallita: esecuzione non completata, nessuna copia nelle cartelle di "
                                              "distribuzione e nessuna registrazione"}));
  EXPECT_EQ(w.Testo(Campo::txtVersioneRevisione), "2");
}

}  // namespace
}  // namespace cw
