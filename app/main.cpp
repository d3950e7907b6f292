#include "app/application.h"
#include "app/mainwindow.h"
#include "app/services.h"
#include "view/sheet.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    SetUpApplication(app);

    static EditorState state; // the program's state, for its whole run
    TForm1 Form1(state, Environment{DesktopServices(), SystemFileSystem(), SystemClock(),
                                    EmbeddedSheetJpeg()});
    Form1.show();
    return app.exec();
}
