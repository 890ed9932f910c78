#include "base/setup_state.h"

constinit SetupState g_setup{ZeroFilled{}};
