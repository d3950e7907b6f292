// The smallest maximised Qt Widgets window, for comparing launch time and memory.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.showMaximized();
    return app.exec();
}
