#pragma once
// The compatibility modes of a component's project: the option the window
// selects and the value "CompatibleMode=" stores in the project file, its
// number as text ("0", "1", "2").

#include <cstdint>

namespace cw {

enum class Compatibilita : std::int32_t { Nessuna = 0, Progetto = 1, Binaria = 2 };

}  // namespace cw
