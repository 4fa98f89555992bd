#pragma once
// Windows path arithmetic for the names a project file holds: members are
// written relative to the project's folder ("Form\X.frm", "..\Compat\X.dll").

#include <string>
#include <string_view>

namespace cw::vb6 {

// The folder part of a path, without the trailing separator ("" if none).
std::string CartellaDi(std::string_view percorso);

// The path of a name written in a project file: as it stands when it carries
// its own drive, below the drive when it starts with a separator, otherwise
// below the folder. "." and ".." are folded, never climbing above the drive.
std::string Combina(std::string_view cartella, std::string_view nome);

}  // namespace cw::vb6
