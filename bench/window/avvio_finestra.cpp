// How long the window takes to come up: from starting the process to the
// window's first frame painted. Each run starts a fresh copy of this
// program (so shared libraries, fonts and Qt's start-up are all counted),
// which builds frmCompilazione as compilawexo does, shows it and reports
// through a pipe once the first paint is done.
//
//   cw_bench_window [runs]     (default 10; QT_QPA_PLATFORM defaults to offscreen)

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/aspetto.h"
#include "app/frmCompilazione.h"

extern char** environ;

namespace {

using Orologio = std::chrono::steady_clock;

double Ms(Orologio::time_point da, Orologio::time_point a) {
  return std::chrono::duration<double, std::milli>(a - da).count();
}

// The measured program: the window, up to its first paint.
int Figlio(int fd, int argc, char** argv) {
  const auto inizio = Orologio::now();
  QApplication app(argc, argv);
  cw::PreparaAspetto();
  cw::frmCompilazione finestra;
  const auto costruita = Orologio::now();

  struct PrimoDisegno : QObject {
    int fd;
    Orologio::time_point inizio, costruita;
    bool visto = false;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint && !visto) {
        visto = true;
        // Queued, so it runs once the whole frame has been painted.
        QMetaObject::invokeMethod(
            qApp,
            [this] {
              const std::string riga =
                  std::to_string(Ms(inizio, costruita)) + " " + std::to_string(Ms(inizio, Orologio::now())) + "\n";
              if (write(fd, riga.data(), riga.size()) < 0) std::perror("write");
              QCoreApplication::quit();
            },
            Qt::QueuedConnection);
      }
      return false;
    }
  } filtro;
  filtro.fd = fd;
  filtro.inizio = inizio;
  filtro.costruita = costruita;
  finestra.installEventFilter(&filtro);
  finestra.show();
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--figlio") == 0) return Figlio(std::atoi(argv[2]), argc, argv);

  const int prove = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
  setenv("QT_QPA_PLATFORM", getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "offscreen", 1);
  std::vector<double> totali, costruzioni, interni;
  for (int i = 0; i < prove; ++i) {
    int tubo[2];
    if (pipe(tubo) != 0) return 1;
    std::string fd = std::to_string(tubo[1]);
    char figlio[] = "--figlio";
    char* args[] = {argv[0], figlio, fd.data(), nullptr};
    // Qt's start-up chatter would drown the figures.
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
    const auto inizio = Orologio::now();
    pid_t pid;
    const int avvio = posix_spawn(&pid, "/proc/self/exe", &azioni, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&azioni);
    if (avvio != 0) return 1;
    close(tubo[1]);
    char buf[128] = {};
    const ssize_t n = read(tubo[0], buf, sizeof buf - 1);
    const auto fine = Orologio::now();
    close(tubo[0]);
    int stato = 0;
    waitpid(pid, &stato, 0);
    if (n <= 0) {
      std::fprintf(stderr, "run %d: the window never painted\n", i + 1);
      return 1;
    }
    double costruzione = 0, interno = 0;
    std::sscanf(buf, "%lf %lf", &costruzione, &interno);
    totali.push_back(Ms(inizio, fine));
    costruzioni.push_back(costruzione);
    interni.push_back(interno);
  }
  const auto mediana = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("window start-up, %d runs (%s platform)\n", prove, getenv("QT_QPA_PLATFORM"));
  std::printf("  process start to first paint: median %.1f ms, min %.1f ms, max %.1f ms\n", mediana(totali),
              *std::min_element(totali.begin(), totali.end()), *std::max_element(totali.begin(), totali.end()));
  std::printf("  inside main: window built %.1f ms, first paint %.1f ms (medians)\n", mediana(costruzioni),
              mediana(interni));
  return 0;
}
