#include "app/state.h"

SharedState appState;
