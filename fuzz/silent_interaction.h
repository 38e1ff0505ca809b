// The door of the fuzz targets: every question gets its default answer and
// nothing is shown.
#pragma once

#include "platform/door/interaction.h"

using SilentInteraction = NonInteractive;
