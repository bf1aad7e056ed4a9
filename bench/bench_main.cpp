// quarbel-bench: every case runs the real code off screen and prints its median time and the
// peak memory it reached (see README.md for the figures and their targets).
#include "bench_support.h"

#include <QApplication>

#include <cstring>

namespace quarbel::bench {
int startupProbe();
}

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--startup-probe") == 0)
        return quarbel::bench::startupProbe();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    quarbel::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    quarbel::bench::releaseKept();
    benchmark::Shutdown();
    return 0;
}
