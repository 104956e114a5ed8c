// Placeholder until the SDL platform is built.
#include "platform/platform.h"

namespace plat {
IPlatform* CreateSdlPlatform() { return nullptr; }
}  // namespace plat
