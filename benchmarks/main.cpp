// Runs the benchmarks with a headless QApplication, so that dialogs can be measured too.

#include <QApplication>
#include <QStyleFactory>

#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Large blocks always come from and go back to the system, as in a fresh process, so
    // that the peak memory of one iteration is not hidden by what an earlier one freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("SDL_VIDEODRIVER")) {
        qputenv("SDL_VIDEODRIVER", "dummy");
    }
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
