#include "app/application.h"
#include "app/mainwindow.h"
#include "app/services.h"
#include "view/sheet.h"

#include <QApplication>

#ifdef DIM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

int main(int argc, char **argv) {
#ifdef DIM_HAVE_FONTCONFIG
    // fontconfig reads its configuration, some fifty files, when the first font is looked
    // up, which building the window does long before it is shown. It is read here instead,
    // meanwhile, while the toolkit connects to the display.
    std::thread fontconfig([] { FcInit(); });
#endif
    QApplication app(argc, argv);
    SetUpApplication(app);
#ifdef DIM_HAVE_FONTCONFIG
    fontconfig.join();
#endif

    static EditorState state; // the program's state, for its whole run
    TForm1 Form1(state, Environment{DesktopServices(), SystemFileSystem(), SystemClock(),
                                    EmbeddedSheetJpeg()});
    Form1.show();
    return app.exec();
}
