#include "blocco_note.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>

#include "base/ansi.h"

namespace cw::notepad {

std::string NomeDaArgomenti(const std::vector<std::string>& argomenti) {
  std::string nome;
  for (const auto& a : argomenti) {
    if (!nome.empty()) nome += ' ';
    nome += a;
  }
  return nome;
}

std::string NomeBreve(const std::string& percorso) {
  const size_t k = percorso.find_last_of("\\/");
  return k == std::string::npos ? percorso : percorso.substr(k + 1);
}

Documento Apri(const DriveTable& unita, const std::string& nome) {
  Documento d;
  d.nome = nome;
  if (const auto host = unita.Resolve(nome)) {
    std::error_code ec;
    std::ifstream in(*host, std::ios::binary);
    if (in && std::filesystem::is_regular_file(*host, ec)) {
      const std::string byte(std::istreambuf_iterator<char>(in), {});
      d.testo = AnsiToUtf8(byte);
      d.trovato = true;
    }
  }
  return d;
}

std::unique_ptr<QPlainTextEdit> Finestra(const Documento& documento) {
  auto w = std::make_unique<QPlainTextEdit>();
  w->setReadOnly(true);
  w->setLineWrapMode(QPlainTextEdit::NoWrap);
  w->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // CR LF and a lone CR both end a line, as the original viewer shows them.
  QString testo = QString::fromUtf8(documento.testo.data(), static_cast<qsizetype>(documento.testo.size()));
  testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  testo.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  w->setPlainText(testo);
  w->setWindowTitle(QString::fromStdString(NomeBreve(documento.nome)) + QStringLiteral(" - Blocco note"));
  w->resize(720, 480);
  return w;
}

namespace {

// Watches the X server's events for the destruction of one window.
class FiltroDistruzione : public QAbstractNativeEventFilter {
 public:
  explicit FiltroDistruzione(WId finestra) : finestra_(finestra) {}
  bool nativeEventFilter(const QByteArray& tipo, void* messaggio, qintptr*) override {
    if (tipo != "xcb_generic_event_t") return false;
    const auto* evento = static_cast<const xcb_generic_event_t*>(messaggio);
    if ((evento->response_type & 0x7F) == XCB_DESTROY_NOTIFY &&
        static_cast<const xcb_destroy_notify_event_t*>(messaggio)->window == finestra_)
      QCoreApplication::quit();
    return false;
  }

 private:
  WId finestra_;
};

}  // namespace

void FinisceConLaFinestra(QWidget& finestra) {
  // Qt asks for the structure events of every top-level window, so the
  // destruction reaches the filter; other platforms have no such event.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  static FiltroDistruzione* filtro = nullptr;
  delete filtro;
  filtro = new FiltroDistruzione(finestra.winId());
  qApp->installNativeEventFilter(filtro);
}

}  // namespace cw::notepad
