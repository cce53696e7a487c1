#include "host/host_launcher.h"

bool ReadHostInstallPath() { return false; }

bool OpenHostApplication() { return true; }
