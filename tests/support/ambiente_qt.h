#pragma once
// One QApplication for a Qt test program, on the offscreen platform unless
// the environment names another (the screenshot runs use xcb). Made before
// the first test and deleted before static destruction begins (Qt must not
// outlive main). A program registers it once:
//   [[maybe_unused]] auto* const kAmbiente =
//       ::testing::AddGlobalTestEnvironment(new cw::test::AmbienteQt(prepara));

#include <gtest/gtest.h>
#include <QApplication>

#include <functional>
#include <memory>

namespace cw::test {

class AmbienteQt : public ::testing::Environment {
 public:
  // prepara runs once the application exists (fonts, style).
  explicit AmbienteQt(std::function<void()> prepara = nullptr) : prepara_(std::move(prepara)) {}

  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    precedente_ = qInstallMessageHandler(&AmbienteQt::FiltraMessaggi);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    if (prepara_) prepara_();
  }
  void TearDown() override { app_.reset(); }

 private:
  // The offscreen platform says, on every fixed-size window, that it cannot
  // pass size hints on; nothing to see.
  static void FiltraMessaggi(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
    if (testo.contains(QStringLiteral("propagateSizeHints"))) return;
    if (precedente_) precedente_(tipo, contesto, testo);
  }

  static inline QtMessageHandler precedente_ = nullptr;
  std::function<void()> prepara_;
  int argc_ = 1;
  char nome_[16] = "cw_qt_tests";
  char* argv_[2] = {nome_, nullptr};
  std::unique_ptr<QApplication> app_;
};

}  // namespace cw::test
