#pragma once
// The receiver-and-waves icon of every window, built into the program.

#include <QIcon>

namespace tessik::app {

QIcon applicationIcon();

}  // namespace tessik::app
