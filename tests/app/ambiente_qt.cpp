// The Qt application of the window tests, looking as compilawexo looks.

#include "support/ambiente_qt.h"

#include "app/aspetto.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kAmbiente =
    ::testing::AddGlobalTestEnvironment(new cw::test::AmbienteQt([] { cw::PreparaAspetto(); }));

}  // namespace
