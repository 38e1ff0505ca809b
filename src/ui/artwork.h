// The pictures of commands: the desktop's icon theme where it has a standard
// icon for the command, otherwise ours, drawn as vectors so they stay crisp at
// any scale. Qt derives the disabled (grayed) look.
#pragma once

#include <QIcon>

#include "app/commands.h"

// The icon of a command in the menu image table and on the toolbars; a null
// icon for commands without a picture.
QIcon CommandIcon(CommandId id);

// The application's icon.
QIcon ApplicationIcon();
