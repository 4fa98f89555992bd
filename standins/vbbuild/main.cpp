// standin-vbbuild FILE
//
// Stands in for the outside build tool. Its window, titled "Vb-Build - Wexo",
// has one line field: a path typed into it followed by Enter is one project
// handed over. The path is appended to FILE at once as one line of UTF-8
// ending in LF, the field is emptied and is ready for the next path; the
// list below shows what has arrived.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() != 2) {
    std::fprintf(stderr, "uso: standin-vbbuild FILE\n");
    return 2;
  }
  const QString target = args.at(1);

  QWidget window;
  window.setWindowTitle(QStringLiteral("Vb-Build - Wexo"));
  auto* layout = new QVBoxLayout(&window);
  auto* label = new QLabel(QStringLiteral("Progetto:"), &window);
  auto* field = new QLineEdit(&window);
  auto* received = new QListWidget(&window);
  layout->addWidget(label);
  layout->addWidget(field);
  layout->addWidget(received);

  int status = 0;
  QObject::connect(field, &QLineEdit::returnPressed, [&] {
    const QString path = field->text();
    field->clear();
    // Open, append, close for every path, so whoever reads the file sees
    // each project as soon as it is handed over.
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append) || out.write(path.toUtf8() + '\n') < 0) {
      std::fprintf(stderr, "standin-vbbuild: impossibile scrivere %s\n", qPrintable(target));
      status = 1;
      QApplication::exit(1);
      return;
    }
    out.close();
    received->addItem(path);
    received->scrollToBottom();
  });

  window.resize(480, 320);
  window.show();
  field->setFocus();
  const int rc = QApplication::exec();
  return status ? status : rc;
}
