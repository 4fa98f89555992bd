#pragma once
// The fonts the window shows: Tahoma for the window and the log, MS Sans
// Serif inside the picture boxes. Neither is a system font here; both come
// from the Wine font package and are registered with the application.

#include <QFont>
#include <QString>

namespace cw {

inline constexpr const char* kCartellaCaratteriWine = "/usr/share/wine/fonts/";
inline constexpr double kPuntiCaratteri = 8.25;

// Registers tahoma.ttf and ms_sans_serif.ttf once; a missing file leaves
// the family to the font matcher's fallback (and says so on stderr).
void CaricaCaratteri();

// family at 8.25 pt, regular weight.
QFont Carattere(const QString& famiglia);
QFont CarattereFinestra();  // "Tahoma"
// "MS Sans Serif" on a screen of one device pixel per pixel. The face is a
// bitmap one, drawn from fixed strikes: at any other ratio (QT_SCALE_FACTOR,
// a high-density screen) the layout's advances are scaled but the strike's
// letters are not, and a caption comes out letter-spaced; there the picture
// boxes take the outline Tahoma, which scales with the layout.
QFont CarattereContenitori(double rapportoPixel = 1.0);

}  // namespace cw
