#pragma once

#include <QByteArray>

class QApplication;

namespace dim {
class SheetDecode;
}

namespace dim::app {

// The window's caption until a file is named, and the title of its boxes.
inline const char *const ApplicationTitle = "Kelmaro Brantoq";

// Sets up the application: its name, version and desktop entry.
void SetUpApplication(QApplication &app);

// Gives the application its window icon, drawn from the sheet's logo. The main window asks
// for it once its first picture is on the screen: decoding the icon, and looking through the
// image-format plugins for it, would otherwise hold up the window's appearance.
void SetApplicationIcon();

// What waits for the first picture: the window icon, then the working memory that starting up
// has freed (the decoder's, the first paint's scratch pictures, the icon's full-size picture)
// given back to the system rather than kept in the heap, and the sheet's pixels put into the
// cache for the next start when they were decoded.
void FinishStart(SheetDecode &sheet);

// The language of the toolkit's own texts (the file dialogs, the buttons of message boxes)
// for a row of the language list: German, English, French or Spanish. Dialogs already made
// are relabelled.
void UseToolkitLanguage(int row);

} // namespace dim::app
