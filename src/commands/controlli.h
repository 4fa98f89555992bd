#pragma once
// The controls of frmCompilazione as the form stores them: creation order,
// container, position and size in twips, tab index. Both windows, the Qt one
// and the Win32 one, are built from this table and nothing moves afterwards.

#include <string>
#include <string_view>
#include <vector>

#include "commands/campi.h"

namespace cw {

// The caption of the label above a field, without its closing colon:
// "Principale", "Nome società", "Vecchia guid".
std::string EtichettaCampo(Campo campo);

enum class TipoControllo { Lista, Cornice, Contenitore, Pulsante, Testo, Etichetta, Casella, Opzione };

struct DescrizioneControllo {
  const char* nome;
  TipoControllo tipo;
  const char* testo;             // caption, UTF-8; "" for none
  const char* contenitore;       // "" for the window's client area
  int left, top, width, height;  // twips, relative to the container
  int tab;                       // tab index
  int lunghezzaMassima = 0;      // text boxes: characters the user may type (0: no limit)
};

const std::vector<DescrizioneControllo>& ControlliFinestra();

// Lists, buttons, text boxes, the check box and the option buttons; frames,
// picture boxes and labels take no focus.
bool PrendeFuoco(TipoControllo tipo);

// The controls that take focus in the order Tab visits them in both windows:
// reading order, frame by frame. Within a container its children go by rows,
// top to bottom, and left to right within a row; a child whose top lies above
// the middle of the row's first one belongs to that row. A frame or picture
// box counts as one child, its own controls visited in their place. All three
// option buttons are listed: a window enters the group at the selected one.
std::vector<std::string> OrdineTabulazione();

// During a command every control that takes input is shown disabled but the
// log, which the user may scroll while lines are added.
inline bool SpentoDuranteComando(TipoControllo tipo) { return PrendeFuoco(tipo) && tipo != TipoControllo::Lista; }

// The menu bar's one menu, "Strumenti" (mnuStrumenti), and its entries in
// order, for both windows.
struct VoceMenu {
  const char* nome;   // "mnuGeneraVbg"; a separator has a name too, "mnuSeparatore"
  const char* testo;  // the caption; nullptr for a separator
};

inline constexpr const char* kNomeMenuStrumenti = "mnuStrumenti";
inline constexpr const char* kTestoMenuStrumenti = "Strumenti";
const std::vector<VoceMenu>& MenuStrumenti();

// The caption of a control of the form or of a menu entry, by its name; ""
// for none.
std::string TestoControllo(std::string_view nome);

// 1 pixel = 15 twips at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;
// The client area below the menu bar, in twips.
inline constexpr int kLarghezzaClientTwips = 10335;
inline constexpr int kAltezzaClientTwips = 6075;

}  // namespace cw
