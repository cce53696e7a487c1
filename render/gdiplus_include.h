#pragma once
// <gdiplus.h> wants min and max, which NOMINMAX takes away from <windows.h>.
#include <windows.h>

#include <objidl.h>  // WIN32_LEAN_AND_MEAN leaves out what GDI+ needs

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
