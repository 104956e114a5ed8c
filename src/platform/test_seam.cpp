// The test seam's hooks, empty unless a test sets them.
#include "platform/test_seam.h"

namespace test_seam {

std::function<void(const std::string&, bool)> SoundTap;
AtomicWriteHook BeforeAtomicRename = nullptr;

}  // namespace test_seam
