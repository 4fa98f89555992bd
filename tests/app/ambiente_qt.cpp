// One QApplication for the whole test program, on the offscreen platform
// unless the environment names another (the screenshot runs use xcb).

#include <QApplication>
#include <gtest/gtest.h>

#include "app/aspetto.h"

namespace {

// The offscreen platform says, on every fixed-size window, that it cannot
// pass size hints on; nothing to see.
QtMessageHandler g_precedente = nullptr;
void FiltraMessaggi(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
  if (testo.contains(QStringLiteral("propagateSizeHints"))) return;
  if (g_precedente) g_precedente(tipo, contesto, testo);
}

class AmbienteQt : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_precedente = qInstallMessageHandler(FiltraMessaggi);
    app_ = new QApplication(argc_, argv_);
    cw::PreparaAspetto();  // as compilawexo looks
  }
  void TearDown() override { delete app_; }

 private:
  int argc_ = 1;
  char nome_[16] = "cw_app_tests";
  char* argv_[2] = {nome_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kAmbiente = ::testing::AddGlobalTestEnvironment(new AmbienteQt);

}  // namespace
