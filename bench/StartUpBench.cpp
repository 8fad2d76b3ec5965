// Start-up of the real program, from its launch until its main window is
// shown, and the peak memory it used by then. The program runs offscreen with
// a small probe preloaded that reports the first painted window and ends it.
// (The probe reads the peak itself: a spawned child's rusage would count this
// process's own peak, which the large images of the store benchmarks raise.)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int probeDescriptor = 3;

fs::path programPath() {
    return fs::read_symlink("/proc/self/exe").parent_path() / "tarvon-addons";
}

// The environment of this process, offscreen, with the probe preloaded.
std::vector<std::string> probedEnvironment() {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        const std::string text = *variable;
        if (!text.starts_with("QT_QPA_PLATFORM=") && !text.starts_with("LD_PRELOAD="))
            variables.push_back(text);
    }
    variables.push_back("QT_QPA_PLATFORM=offscreen");
    variables.push_back(std::string("LD_PRELOAD=") + TARVON_START_PROBE);
    variables.push_back("TARVON_PROBE_FD=" + std::to_string(probeDescriptor));
    return variables;
}

struct Launch {
    double seconds = 0;
    long peakKiB = 0;
    bool shown = false;
};

// Starts the program and waits for the probe's report and the program's end.
// The report is written in one piece, so one read takes it whole.
Launch launchUntilShown(const std::vector<std::string>& environment) {
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    const std::string program = programPath().string();
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};

    int report[2];
    if (pipe(report) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Closed first: the reading end may have the probe's descriptor number.
    posix_spawn_file_actions_addclose(&actions, report[0]);
    posix_spawn_file_actions_adddup2(&actions, report[1], probeDescriptor);

    Launch launch;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const bool started = posix_spawn(&child, argv[0], &actions, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(report[1]);
    char digits[32] = {};
    const ssize_t length = started ? read(report[0], digits, sizeof digits - 1) : 0;
    launch.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    launch.shown = length > 0;
    launch.peakKiB = std::atol(digits);
    close(report[0]);
    if (started)
        waitpid(child, nullptr, 0);
    return launch;
}

void startUpUntilShown(benchmark::State& state) {
    const std::vector<std::string> environment = probedEnvironment();
    long peakKiB = 0;
    for (auto _ : state) {
        const Launch launch = launchUntilShown(environment);
        if (!launch.shown) {
            state.SkipWithError("the program showed no window");
            break;
        }
        state.SetIterationTime(launch.seconds);
        peakKiB = std::max(peakKiB, launch.peakKiB);
    }
    state.counters["peak_MiB"] = double(peakKiB) / 1024.0;
}

} // namespace

BENCHMARK(startUpUntilShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
