// The floor of the drag benchmark: a maximised Qt Widgets window that shows the pointer
// position in a label on every move, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWidget>

namespace {

class Area : public QWidget {
public:
    explicit Area(QLabel *label) : m_label(label) { setMouseTracking(true); }

protected:
    void mouseMoveEvent(QMouseEvent *event) override {
        const QPoint p = event->position().toPoint();
        m_label->setText(QStringLiteral("%1, %2").arg(p.x()).arg(p.y()));
    }

private:
    QLabel *m_label;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("drag window"));
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("-"));
    layout->addWidget(new Area(label), 1);
    layout->addWidget(label);
    window.showMaximized();
    return app.exec();
}
