#pragma once
// What the X11 tests run on: an Xvfb of their own on a free display number,
// optionally a window manager, child programs on that display, and a few
// Xlib helpers to make and watch windows.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/prefisso_temporaneo.h"

namespace cw::test {

// The program's full path if it is on PATH.
inline std::optional<std::string> CercaProgramma(const std::string& nome) {
  const char* path = std::getenv("PATH");
  std::string elenco = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= elenco.size()) {
    size_t fine = elenco.find(':', start);
    if (fine == std::string::npos) fine = elenco.size();
    const std::string candidato = elenco.substr(start, fine - start) + "/" + nome;
    if (::access(candidato.c_str(), X_OK) == 0) return candidato;
    start = fine + 1;
  }
  return std::nullopt;
}

// Polls until the condition holds or the time is up.
inline bool Attendi(const std::function<bool()>& condizione, int ms) {
  const auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!condizione()) {
    if (std::chrono::steady_clock::now() > fine) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A child process, ended (TERM, then KILL) when it goes out of scope.
class Figlio {
 public:
  Figlio() = default;
  // Output goes to log (stdout and stderr); extra: "NAME=value" added to the environment.
  Figlio(const std::vector<std::string>& argv, const std::vector<std::string>& extra, const std::string& log,
         int fdDaPassare = -1) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string v = *e;
      bool sostituita = false;
      for (const auto& x : extra)
        if (v.substr(0, v.find('=') + 1) == x.substr(0, x.find('=') + 1)) sostituita = true;
      if (!sostituita) env.push_back(v);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    std::vector<char*> a, e;
    for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    for (const auto& s : env) e.push_back(const_cast<char*>(s.c_str()));
    e.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
      }
      ::setpgid(0, 0);
      if (fdDaPassare >= 0) ::fcntl(fdDaPassare, F_SETFD, 0);
      ::execve(a[0], a.data(), e.data());
      ::_exit(127);
    }
  }
  Figlio(Figlio&& o) noexcept : pid_(o.pid_) { o.pid_ = -1; }
  Figlio& operator=(Figlio&& o) noexcept {
    if (this != &o) {
      Termina();
      pid_ = o.pid_;
      o.pid_ = -1;
    }
    return *this;
  }
  ~Figlio() { Termina(); }

  bool Vivo() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    return true;
  }
  // TERM, as a user closing the program would; KILL if it lingers.
  void Termina() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    if (!Attendi([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, 3000)) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// An Xvfb on a display number it picks itself (-displayfd), in a temporary
// folder that also holds the children's logs.
class ServerX {
 public:
  // Empty Display() when Xvfb could not be started.
  ServerX() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "cw-x11-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return;
    dir_ = tmpl;
    const auto xvfb = CercaProgramma("Xvfb");
    if (!xvfb) return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    xvfb_ = Figlio({*xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp"}, {},
                   Log("xvfb"), fds[1]);
    ::close(fds[1]);
    std::string numero;
    pollfd p{fds[0], POLLIN, 0};
    while (numero.find('\n') == std::string::npos && ::poll(&p, 1, 10000) > 0) {
      char c[16];
      const ssize_t n = ::read(fds[0], c, sizeof c);
      if (n <= 0) break;
      numero.append(c, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (numero.find('\n') == std::string::npos) return;
    display_ = ":" + numero.substr(0, numero.find('\n'));
    dpy_ = XOpenDisplay(display_.c_str());
    if (!dpy_) display_.clear();
    // Windows vanish under the test's own queries too.
    XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
  }
  ~ServerX() {
    if (dpy_) XCloseDisplay(dpy_);
    figli_.clear();
    xvfb_.Termina();
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  ServerX(const ServerX&) = delete;
  ServerX& operator=(const ServerX&) = delete;

  const std::string& Display() const { return display_; }
  ::Display* Dpy() const { return dpy_; }
  const std::filesystem::path& Dir() const { return dir_; }
  std::string Log(const std::string& nome) const { return (dir_ / (nome + ".log")).string(); }

  // Starts a program on this display; its output goes to <nome>.log.
  Figlio Avvia(const std::string& nome, const std::vector<std::string>& argv,
               std::vector<std::string> extra = {}) const {
    extra.push_back("DISPLAY=" + display_);
    return Figlio(argv, extra, Log(nome));
  }

  // matchbox-window-manager, running once it names its check window.
  bool AvviaWindowManager() {
    const auto wm = CercaProgramma("matchbox-window-manager");
    if (!wm) return false;
    figli_.push_back(Avvia("wm", {*wm, "-use_titlebar", "no"}));
    return Attendi([&] { return FinestraDiProprieta(DefaultRootWindow(dpy_), "_NET_SUPPORTING_WM_CHECK") != 0; },
                   10000);
  }

  Window FinestraDiProprieta(Window w, const char* nome) const {
    Atom tipo = 0;
    int formato = 0;
    unsigned long n = 0, resto = 0;
    unsigned char* dati = nullptr;
    Window out = 0;
    if (XGetWindowProperty(dpy_, w, XInternAtom(dpy_, nome, False), 0, 1, False, XA_WINDOW, &tipo, &formato, &n, &resto,
                           &dati) == Success &&
        dati && n == 1)
      out = *reinterpret_cast<Window*>(dati);
    if (dati) XFree(dati);
    return out;
  }

  // A plain top-level window with this title, mapped; it reports key presses.
  Window CreaFinestra(const std::string& titolo) {
    const Window w = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 200, 100, 0, 0, 0xFFFFFF);
    XStoreName(dpy_, w, titolo.c_str());
    XChangeProperty(dpy_, w, XInternAtom(dpy_, "_NET_WM_NAME", False), XInternAtom(dpy_, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(titolo.data()),
                    static_cast<int>(titolo.size()));
    XSelectInput(dpy_, w, KeyPressMask | KeyReleaseMask | FocusChangeMask);
    XMapWindow(dpy_, w);
    XSync(dpy_, False);
    Attendi(
        [&] {
          XWindowAttributes a{};
          return XGetWindowAttributes(dpy_, w, &a) && a.map_state == IsViewable;
        },
        5000);
    return w;
  }

  // Does any window carry exactly this WM_NAME?
  bool EsisteFinestra(const std::string& titolo) { return TrovaFinestra(titolo) != 0; }
  // The first window that does, or 0.
  Window TrovaFinestra(const std::string& titolo) { return Cerca(DefaultRootWindow(dpy_), titolo); }

 private:
  Window Cerca(Window w, const std::string& titolo) {
    char* nome = nullptr;
    if (XFetchName(dpy_, w, &nome) && nome) {
      const bool uguale = titolo == nome;
      XFree(nome);
      if (uguale) return w;
    }
    Window r = 0, p = 0, *figli = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy_, w, &r, &p, &figli, &n)) return 0;
    Window trovata = 0;
    for (unsigned int i = 0; i < n && !trovata; ++i) trovata = Cerca(figli[i], titolo);
    if (figli) XFree(figli);
    return trovata;
  }

  std::filesystem::path dir_;
  std::string display_;
  ::Display* dpy_ = nullptr;
  Figlio xvfb_;
  std::vector<Figlio> figli_;
};

}  // namespace cw::test

// A test's own X server in x, or the test skipped when Xvfb is not installed.
#define SERVER_O_SALTA(x)                                                       \
  if (!cw::test::CercaProgramma("Xvfb")) GTEST_SKIP() << "Xvfb non installato"; \
  cw::test::ServerX x;                                                          \
  ASSERT_FALSE(x.Display().empty()) << cw::test::LeggiFile(x.Log("xvfb"))
