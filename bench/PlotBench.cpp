// bench_plot [SECONDS] [CHANNELS...]: feeds a shown plot with 1 kHz channels
// on the main thread for SECONDS (default 60), 10 s visible, tracking, after
// filling each channel's history to its full length, and reports the frame
// time, the CPU share of one core and the resident memory. Offscreen.

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "widgets/Plot.h"

namespace {

double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Sample(int channel, long i) {
    const double t = i * 0.001;
    return 1000.0 * std::sin(2.0 * M_PI * (0.5 + channel * 0.3) * t) + 50.0 * std::sin(t * 97.0);
}

void Run(int channels, int seconds) {
    constexpr int kRate = 1000;
    const double startMb = ResidentMb();
    Plot plot;
    plot.resize(800, 450);
    plot.show();
    plot.SetXSpan(10.0);
    plot.SetYRange(PlotAxis::Y1, -1200.0, 2400.0);
    plot.SetYRange(PlotAxis::Y2, -1200.0, 2400.0);
    for (int c = 0; c < channels; ++c)
        plot.AddChannel(QString("channel %1").arg(c + 1), c == 1 ? PlotAxis::Y2 : PlotAxis::Y1);

    // Ten minutes and more already seen: every history full and trimming
    // (its storage has been through one round of reuse) before the clock starts.
    const long prefill = plot.HistoryLength() * 5 / 4;
    for (int c = 0; c < channels; ++c) {
        QVector<double> xs(prefill), ys(prefill);
        for (long i = 0; i < prefill; ++i) xs[i] = (i - prefill) * 0.001, ys[i] = Sample(c, i);
        plot.AddPoints(c, xs, ys);
    }
    plot.DrawNow();
    QApplication::processEvents();
    const double fullMb = ResidentMb();

    std::vector<double> frames, frameCpu;
    QObject::connect(&plot, &Plot::Drawn, [&] {
        frames.push_back(plot.LastDrawMs());
        frameCpu.push_back(plot.LastDrawCpuMs());
    });
    std::vector<double> memory;
    QElapsedTimer clock;
    long sent = 0;
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, [&] {
        // The samples due by now, one point at a time, as a window adds them.
        const long due = clock.elapsed() * kRate / 1000;
        for (; sent < due; ++sent)
            for (int c = 0; c < channels; ++c) plot.AddPoint(c, sent * 0.001, Sample(c, sent));
        if (sent / kRate / 10 >= static_cast<long>(memory.size())) memory.push_back(ResidentMb());
        if (sent >= static_cast<long>(seconds) * kRate) QApplication::quit();
    });
    const double cpuBefore = CpuSeconds();
    clock.start();
    feed.start(10);
    QApplication::exec();
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;

    std::sort(frames.begin(), frames.end());
    std::sort(frameCpu.begin(), frameCpu.end());
    const auto at = [](const std::vector<double>& sorted, double share) {
        return sorted.empty() ? 0.0
                              : sorted[std::min(sorted.size() - 1, size_t(share * sorted.size()))];
    };
    std::printf("%d channels at 1 kHz for %d s, 10 s visible, history %d points a channel\n",
                channels, seconds, plot.HistoryLength());
    std::printf("  frames %zu (%.1f a second)\n", frames.size(), frames.size() / wall);
    std::printf("  frame wall time: median %.2f ms, 95%% %.2f ms, worst %.2f ms\n", at(frames, 0.5),
                at(frames, 0.95), at(frames, 1.0));
    std::printf("  frame CPU time:  median %.2f ms, 95%% %.2f ms, worst %.2f ms\n",
                at(frameCpu, 0.5), at(frameCpu, 0.95), at(frameCpu, 1.0));
    std::printf("  CPU %.1f %% of one core (%.2f s in %.1f s)\n", 100.0 * cpu / wall, cpu, wall);
    std::printf(
        "  resident: %.1f MB at start, %.1f MB with the history full, %.1f MB after the run\n",
        startMb, fullMb, ResidentMb());
    std::printf("  resident every 10 s:");
    for (double mb : memory) std::printf(" %.1f", mb);
    std::printf(" MB\n  points held: %d in channel 1\n", plot.PointCount(0));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i) counts.push_back(std::max(1, std::atoi(argv[i])));
    if (counts.empty()) counts = {2, 8};
    for (int channels : counts) Run(channels, seconds);
    return 0;
}
