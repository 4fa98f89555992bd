#pragma once
// A real frmCompilazione over a temporary prefix, its settings file in the
// prefix folder ("<prefix>/WexoUty.ini"), shown on the offscreen
// platform, with every message box recorded and answered by the test.

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frmCompilazione.h"
#include "app/puntatore.h"
#include "support/prefisso_temporaneo.h"

namespace cw::test {

struct BoxVisto {
  QString testo;
  QString titolo;
  QMessageBox::Icon icona;
  QMessageBox::StandardButtons pulsanti;
  int puntatore;  // the mouse pointer while the box was up
};

class FinestraTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("WINEPREFIX", QByteArray::fromStdString(prefisso.Dir().string())); }
  void TearDown() override {
    finestra.reset();
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }

  // The settings file the window reads at start.
  std::filesystem::path FileIni() const { return prefisso.Dir() / "WexoUty.ini"; }
  void ScriviIni(const std::string& righe) const { std::ofstream(FileIni(), std::ios::binary) << righe; }

  frmCompilazione& Apri(bool mostra = true) {
    finestra = std::make_unique<frmCompilazione>([this] { return FileIni().string(); });
    finestra->IntercettaMessaggi([this](QMessageBox& box) {
      boxes.push_back({box.text(), box.windowTitle(), box.icon(), box.standardButtons(), PuntatoreCorrente()});
      if (risposta)
        risposta(box);
      else
        box.defaultButton()->click();
    });
    if (mostra) {
      finestra->show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(finestra.get()));
    }
    return *finestra;
  }

  template <class T>
  T* Controllo(const char* nome) const {
    return finestra->findChild<T*>(QString::fromUtf8(nome));
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> righe;
    for (int i = 0; i < finestra->LogCount(); ++i) righe.push_back(finestra->LogItem(i));
    return righe;
  }

  PrefissoTemporaneo prefisso;
  std::unique_ptr<frmCompilazione> finestra;
  std::vector<BoxVisto> boxes;
  std::function<void(QMessageBox&)> risposta;  // empty: the default button
};

}  // namespace cw::test
