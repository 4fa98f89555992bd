#include "blocco_note.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include <QFontDatabase>

#include "platform/ansi.h"

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

}  // namespace cw::notepad
