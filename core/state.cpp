#include "core/state.h"

SharedState appState;
