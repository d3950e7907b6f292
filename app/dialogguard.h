#pragma once

class QDialog;

namespace dim::app {

// Runs a dialog modally, as exec() does, but also ends it (as rejected) when its window is
// destroyed from outside: on X11 another client may destroy any window, and the toolkit would
// go on waiting for a dialog that no longer exists, with the editor blocked behind it. A
// dialog whose window was destroyed gets a new one the next time it is shown.
int RunDialog(QDialog &dialog);

} // namespace dim::app
