// Placeholder until the SDL platform is built.
#include "platform/platform.h"
