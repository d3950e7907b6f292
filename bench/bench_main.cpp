#include <QGuiApplication>
#include <QLocale>

#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
    // The caption and label fonts need a platform; none of this needs a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QGuiApplication app(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
