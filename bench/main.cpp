#include "bench/bench.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

// Runs every registered case, or those whose names are given as arguments.
int main(int argc, char *argv[])
{
    // The figures are about the forms and the engine, not about a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList wanted = app.arguments().mid(1);

    int failed = 0;
    for (const Bench::Case &benchCase : Bench::cases()) {
        if (!wanted.isEmpty() && !wanted.contains(benchCase.name)) {
            continue;
        }
        std::printf("== %s\n", benchCase.name.toUtf8().constData());
        std::fflush(stdout);
        if (!benchCase.run()) {
            std::printf("   %s could not be measured\n", benchCase.name.toUtf8().constData());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
