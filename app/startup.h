#pragma once

#include "app/commandline.h"

namespace dim::app {

class TForm1;

// Once the window is up: offers the curves a killed editor left unsaved, then opens the
// command line's file in the window as Load does.
void StartUp(TForm1 &window, const CommandLine &line);

} // namespace dim::app
