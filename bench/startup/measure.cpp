// startup-measure: starts the Vantrel probe, the empty-window probe and the
// floor (a window with a menu and one Japanese label) in turn, times each from
// spawn until it reports its window shown, takes its peak resident memory
// from the kernel, and prints the medians side by side with Vantrel's ratio
// to the floor.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr double kTarget = 1.3;

struct Sample {
    double startupMs = 0;
    double peakMiB = 0;
};

struct Probe {
    const char* name;
    const char* path;
    std::vector<Sample> samples;
};

// Runs one probe to its end. False if it did not report a shown window.
bool runOnce(const char* path, Sample& sample) {
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char* argv[] = {const_cast<char*>(path), nullptr};

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        std::fprintf(stderr, "startup-measure: cannot start %s: %s\n", path,
                     std::strerror(spawned));
        return false;
    }

    std::string said;
    bool shown = false;
    char buffer[256];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, static_cast<std::size_t>(got));
        if (!shown && said.find("shown\n") != std::string::npos) {
            shown = true;
            sample.startupMs =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !shown) {
        std::fprintf(stderr, "startup-measure: %s did not show its window and exit cleanly\n",
                     path);
        return false;
    }
    sample.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // kibibytes on Linux
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <class Field> double medianOf(const Probe& probe, Field field) {
    std::vector<double> values;
    for (const Sample& sample : probe.samples)
        values.push_back(sample.*field);
    return median(values);
}

int usage() {
    std::fprintf(stderr, "usage: startup-measure [--runs M] [--platform NAME]\n"
                         "  M runs of each probe (default 20) on the Qt platform NAME "
                         "(default offscreen; xcb needs a display, e.g. under xvfb-run)\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 20;
    std::string platform = "offscreen";
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--runs" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 1 || value > 10000)
                return usage();
            runs = static_cast<int>(value);
        } else if (option == "--platform" && i + 1 < argc) {
            platform = argv[++i];
        } else {
            return usage();
        }
    }

    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    // A private runtime folder: Vantrel's single-instance lock lives there, so
    // a copy running elsewhere on the machine cannot stop the probe.
    char runtime[] = "/tmp/vantrel-startup-XXXXXX";
    if (!mkdtemp(runtime)) {
        std::perror("startup-measure: mkdtemp");
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", runtime, 1);

    Probe probes[] = {{"empty window", EMPTY_PROBE, {}},
                      {"menu + label", FLOOR_PROBE, {}},
                      {"Vantrel", VANTREL_PROBE, {}}};
    bool ok = true;
    // One discarded run each fills the file caches; then the probes alternate.
    for (int run = -1; run < runs && ok; ++run) {
        for (Probe& probe : probes) {
            Sample sample;
            ok = ok && runOnce(probe.path, sample);
            if (ok && run >= 0)
                probe.samples.push_back(sample);
        }
    }
    const std::string lock = std::string(runtime) + "/vantrel.lock";
    unlink(lock.c_str());
    rmdir(runtime);
    if (!ok)
        return 1;

    std::printf("start-up until the window is shown, %s platform, median of %d runs each\n",
                platform.c_str(), runs);
    std::printf("%-14s %14s %14s\n", "program", "start-up ms", "peak RSS MiB");
    for (const Probe& probe : probes)
        std::printf("%-14s %14.1f %14.1f\n", probe.name, medianOf(probe, &Sample::startupMs),
                    medianOf(probe, &Sample::peakMiB));
    const Probe& floorProbe = probes[1];
    const Probe& vantrel = probes[2];
    const double timeRatio =
        medianOf(vantrel, &Sample::startupMs) / medianOf(floorProbe, &Sample::startupMs);
    const double memoryRatio =
        medianOf(vantrel, &Sample::peakMiB) / medianOf(floorProbe, &Sample::peakMiB);
    std::printf("%-14s %14.2f %14.2f   (Vantrel / menu + label; target: at most %.1f each)\n",
                "ratio", timeRatio, memoryRatio, kTarget);
    std::printf("%s\n", timeRatio <= kTarget && memoryRatio <= kTarget ? "within the target"
                                                                       : "ABOVE THE TARGET");
    return 0;
}
