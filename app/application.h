#pragma once

#include <QByteArray>

class QApplication;

namespace dim::app {

// Sets up the application: its title, a window icon drawn from the sheet's logo.
void SetUpApplication(QApplication &app);

// The language of the toolkit's own texts (the file dialogs, the buttons of message boxes)
// for a row of the language list: German, English, French or Spanish. Dialogs already made
// are relabelled.
void UseToolkitLanguage(int row);

} // namespace dim::app
