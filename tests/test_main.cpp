#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Headless by default; the test discovery runs this binary without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
