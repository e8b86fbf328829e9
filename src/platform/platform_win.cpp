// RealPlatform is wired entirely in its declaration; this file keeps the header's translation
// unit checked on its own.
#include "platform/platform_win.h"
