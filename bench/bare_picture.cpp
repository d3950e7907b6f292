// The floor of the first-picture benchmark: a bare maximised Qt Widgets window that shows one
// 1700 x 1000 picture, made before the window is shown and painted at its first paint.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace {

class Picture : public QWidget {
public:
    Picture() : m_picture(1700, 1000, QImage::Format_RGB32) {
        for (int y = 0; y < m_picture.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(m_picture.scanLine(y));
            for (int x = 0; x < m_picture.width(); ++x)
                row[x] = qRgb(x & 0xff, y & 0xff, (x + y) >> 4 & 0xff);
        }
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
        painter.drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    Picture window;
    window.setWindowTitle(QStringLiteral("bare picture"));
    window.showMaximized();
    return app.exec();
}
