#include "bench/bench.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

// Runs every registered case, or those whose names are given as arguments.
// Sizes: --goods N, --lines N, --years N (older years of purchases), and
// --data DIR to keep the generated companies there and reuse them.
int main(int argc, char *argv[])
{
    // The figures are about the forms and the engine, not about a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QStringList wanted;
    const QStringList arguments = app.arguments().mid(1);
    Bench::Options &options = Bench::options();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const QString value = arguments.value(i + 1);
        bool numeric = true;
        if (argument == QLatin1String("--goods")) {
            options.goods = value.toInt(&numeric);
        } else if (argument == QLatin1String("--lines")) {
            options.lines = value.toLongLong(&numeric);
        } else if (argument == QLatin1String("--years")) {
            options.olderYears = value.toInt(&numeric);
        } else if (argument == QLatin1String("--data")) {
            options.dataDir = value;
        } else {
            wanted << argument;
            continue;
        }
        if (!numeric || value.isEmpty()) {
            std::fprintf(stderr, "%s needs a value\n", argument.toUtf8().constData());
            return 2;
        }
        ++i;
    }

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
