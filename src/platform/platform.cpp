// Holder of the platform in use, and path helpers shared by every implementation.
#include "platform/platform.h"

#include <cstdio>
#include <stdexcept>

#include "platform/registry.h"

namespace plat {

namespace {
IPlatform* gPlatform = nullptr;
}

IPlatform& Platform() {
  if (!gPlatform) throw std::logic_error("no platform installed");
  return *gPlatform;
}

void SetPlatform(IPlatform* p) { gPlatform = p; }

void IPlatform::LogError(const std::string& text) {
  std::fprintf(stderr, "Tangrel 2.0: %s\n", text.c_str());
  std::fflush(stderr);
}

std::unique_ptr<IRegistry> IPlatform::OpenUserRegistry() {
  return std::make_unique<FileRegistry>(ConfigDir() + "user.reg");
}

std::string NativePath(const std::string& path) {
  std::string r = path;
  for (char& c : r)
    if (c == '\\') c = '/';
  return r;
}

}  // namespace plat
