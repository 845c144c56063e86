#pragma once

// main() of a benchmark program that shows the monitor's windows: the offscreen platform
// unless another is asked for, a QApplication, then Google Benchmark.

#include <QApplication>

#include <benchmark/benchmark.h>

namespace benchmark_support {

inline QtMessageHandler defaultMessageHandler = nullptr;

// The offscreen platform warns about size hints and raising each time a window is shown.
inline void dropPlatformWarnings(QtMsgType type, const QMessageLogContext& context,
                                 const QString& message) {
    if (!message.contains(QStringLiteral("propagateSizeHints")) &&
        !message.contains(QStringLiteral("does not support raise()")))
        defaultMessageHandler(type, context, message);
}

inline int runWindowsBenchmarks(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultMessageHandler = qInstallMessageHandler(dropPlatformWarnings);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace benchmark_support
