// vantrel-soak: runs the real window for many seconds of market and execution
// with random user actions, checks the account after every event, and checks
// that memory apart from the log stays flat.
#include "ProcessMemory.h"
#include "SoakDriver.h"
#include "ui/FixedClock.h"
#include "ui/MessageLog.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <exception>

using vantrel::frmMain;
using vantrel::soak::ProcessMemory;
using vantrel::soak::readProcessMemory;

namespace {

constexpr std::uint64_t kCheckpointEvery = 100000;
constexpr int kEventsEvery = 64; // steps between two turns of the event loop
// What the memory check forgives beyond the log's own cost: allocator pools
// and caches that settle at their own pace.
constexpr double kSlackMiB = 4;

double mib(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

// The figure that must stay flat. Under AddressSanitizer the resident size is
// mostly the sanitizer's own (freed blocks held back to catch late use, 256 MiB
// by default, and the records of where each block came from), so there the
// bytes the program holds allocated are followed instead.
std::int64_t tracked(const ProcessMemory& memory) {
    return memory.liveHeap >= 0 ? memory.liveHeap : memory.currentRss;
}

const char* trackedName(const ProcessMemory& memory) {
    return memory.liveHeap >= 0 ? "live heap" : "RSS";
}

void processEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A window as the soak uses it: shown, both timers stopped so that the soak
// alone decides when a second passes.
void prepare(frmMain& window) {
    window.timer1().stop();
    window.show();
    processEvents();
}

struct Checkpoint {
    std::uint64_t step = 0;
    int logLines = 0;
    ProcessMemory memory;
};

void printMiB(const char* what, std::int64_t bytes) {
    if (bytes >= 0)
        std::printf("  %s %7.1f MiB", what, mib(bytes));
}

void print(const Checkpoint& at, double seconds) {
    std::printf("step %8llu  log lines %7d", static_cast<unsigned long long>(at.step), at.logLines);
    printMiB("RSS", at.memory.currentRss);
    printMiB("peak RSS", at.memory.peakRss);
    printMiB("live heap", at.memory.liveHeap);
    std::printf("  %7.1f s\n", seconds);
    std::fflush(stdout);
}

// What appending the soak's own log lines costs with nothing else going on:
// a fresh window receives the lines the soak window held at the baseline, then
// the rest, and memory is read in between. Replaying the same lines makes the
// log's buffers grow through the same sizes as in the soak.
double logCost(const frmMain& soaked, const vantrel::Clock& clock, int fromLine, int toLine) {
    vantrel::soak::CountingPrompter prompter;
    frmMain window(clock, prompter);
    prepare(window);
    const auto stampLength = vantrel::MessageLog::timestampText(clock.now()).size() + 2;
    QTextBlock block = soaked.controls().txtResponse->document()->begin();
    std::int64_t before = tracked(readProcessMemory());
    for (int line = 0; line < toLine && block.isValid(); ++line, block = block.next()) {
        if (line == fromLine) {
            processEvents();
            before = tracked(readProcessMemory());
        }
        window.AddLog(block.text().mid(stampLength));
        if (line % 16 == 0)
            processEvents();
    }
    processEvents();
    return static_cast<double>(tracked(readProcessMemory()) - before);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the Vantrel window for N seconds of market ticks and execution events with random "
        "user actions, checking the account after every event. Reports memory every 100000 "
        "steps (every tenth of a run shorter than 200000) and fails if it grows from the first "
        "report to the end by more than the log explains."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("steps"), QStringLiteral("Seconds to run (default 1000000)."),
                      QStringLiteral("N"), QStringLiteral("1000000")});
    parser.addOption({QStringLiteral("seed"),
                      QStringLiteral("Seed of the user's actions (default 1)."),
                      QStringLiteral("S"), QStringLiteral("1")});
    parser.addOption({QStringLiteral("trace"),
                      QStringLiteral("Write every user action to standard error before it runs.")});
    parser.process(app);
    bool stepsOk = false;
    bool seedOk = false;
    const std::uint64_t steps = parser.value(QStringLiteral("steps")).toULongLong(&stepsOk);
    const std::uint64_t seed = parser.value(QStringLiteral("seed")).toULongLong(&seedOk);
    if (!stepsOk || !seedOk || steps == 0) {
        std::fprintf(stderr, "vantrel-soak: --steps takes a positive whole number and --seed a "
                             "whole number\n");
        return 2;
    }
    const std::uint64_t every =
        steps >= 2 * kCheckpointEvery ? kCheckpointEvery : std::max<std::uint64_t>(1, steps / 10);

    vantrel::test::FixedClock clock;
    vantrel::soak::CountingPrompter prompter;
    frmMain window(clock, prompter);
    prepare(window);
    vantrel::soak::SoakDriver driver(window, prompter, seed, parser.isSet(QStringLiteral("trace")));
    std::printf("vantrel-soak: seed %llu, %llu steps, a checkpoint every %llu\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(steps),
                static_cast<unsigned long long>(every));

    QElapsedTimer elapsed;
    elapsed.start();
    Checkpoint baseline;
    Checkpoint last;
    try {
        for (std::uint64_t step = 1; step <= steps; ++step) {
            driver.step(step);
            if (step % kEventsEvery == 0)
                processEvents();
            if (step % every == 0 || step == steps) {
                processEvents();
                last = {step, driver.logLines(), readProcessMemory()};
                print(last, elapsed.elapsed() / 1000.0);
                if (step == every)
                    baseline = last;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantrel-soak: %s", error.what());
        return 1;
    }
    std::printf("%llu user actions, %llu message boxes, %d log lines, %.1f s\n",
                static_cast<unsigned long long>(driver.actions()),
                static_cast<unsigned long long>(prompter.count()), last.logLines,
                elapsed.elapsed() / 1000.0);

    const char* measure = trackedName(baseline.memory);
    if (tracked(baseline.memory) < 0) {
        std::printf("memory: not readable on this system; the memory check is skipped\n");
        return 0;
    }
    const int lines = last.logLines - baseline.logLines;
    const double explained =
        std::max(0.0, logCost(window, clock, baseline.logLines, last.logLines));
    const double growth = static_cast<double>(tracked(last.memory) - tracked(baseline.memory));
    std::printf("log alone: %d lines appended with nothing else going on add %.1f MiB of %s "
                "(%.0f bytes a line)\n",
                lines, mib(explained), measure, lines > 0 ? explained / lines : 0.0);
    const bool flat = growth <= explained + kSlackMiB * 1024 * 1024;
    std::printf("memory: %s grew %.1f MiB from step %llu to step %llu; the log explains %.1f MiB, "
                "slack %.0f MiB: %s\n",
                measure, mib(growth), static_cast<unsigned long long>(baseline.step),
                static_cast<unsigned long long>(last.step), mib(explained), kSlackMiB,
                flat ? "flat apart from the log" : "GROWING");
    if (!flat) {
        std::fprintf(stderr, "vantrel-soak: %s grew %.1f MiB beyond what the log explains\n",
                     measure, mib(growth - explained));
        return 1;
    }
    return 0;
}
