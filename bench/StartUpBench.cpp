// Start-up of the real program, from its launch until its main window is
// shown, and the peak memory it used by then. The program runs offscreen with
// a small probe preloaded that reports the first painted window and ends it.
// (The probe reads the peak itself: a spawned child's rusage would count this
// process's own peak, which the large images of the store benchmarks raise.)
// The long-names case goes on, as a user does, to open a synthetic image
// whose names.cfg is one line of 15 MiB, the enemy editor, and a list step.
#include "DemoImage.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    // With an image to work with: the enemy editor's opening and one list step.
    long openMicroseconds = 0;
    long stepMicroseconds = 0;
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
    std::sscanf(digits, "%ld %ld %ld", &launch.peakKiB, &launch.openMicroseconds,
                &launch.stepMicroseconds);
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

// A scratch folder with a synthetic image, and a user's names.cfg whose first
// and only line is 15 MiB long, under the folder's config/.
class LongNamesFolder {
public:
    LongNamesFolder() {
        char pattern[] = "/tmp/tarvon-bench-XXXXXX";
        folder = ::mkdtemp(pattern) ? fs::path(pattern) : fs::path();
        fs::create_directories(folder / "config" / "tarvon-addons");
        std::ofstream(folder / "config" / "tarvon-addons" / "names.cfg", std::ios::binary)
            << std::string(15 << 20, 'x');
        const std::vector<std::uint8_t> bytes = makeSyntheticImage(0x100000, 1);
        std::ofstream(image(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    LongNamesFolder(const LongNamesFolder&) = delete;
    LongNamesFolder& operator=(const LongNamesFolder&) = delete;
    ~LongNamesFolder() { fs::remove_all(folder); }

    fs::path image() const { return folder / "game.smc"; }
    fs::path config() const { return folder / "config"; }

private:
    fs::path folder;
};

void longNamesEditor(benchmark::State& state) {
    const LongNamesFolder folder;
    std::vector<std::string> environment = probedEnvironment();
    std::erase_if(environment, [](const std::string& variable) {
        return variable.starts_with("XDG_CONFIG_HOME=");
    });
    environment.push_back("XDG_CONFIG_HOME=" + folder.config().string());
    environment.push_back("TARVON_PROBE_IMAGE=" + folder.image().string());
    Launch worst;
    for (auto _ : state) {
        const Launch launch = launchUntilShown(environment);
        if (!launch.shown || launch.openMicroseconds == 0) {
            state.SkipWithError("the enemy editor did not open");
            break;
        }
        state.SetIterationTime(launch.seconds);
        worst.peakKiB = std::max(worst.peakKiB, launch.peakKiB);
        worst.openMicroseconds = std::max(worst.openMicroseconds, launch.openMicroseconds);
        worst.stepMicroseconds = std::max(worst.stepMicroseconds, launch.stepMicroseconds);
    }
    state.counters["peak_MiB"] = double(worst.peakKiB) / 1024.0;
    state.counters["editor_open_ms"] = double(worst.openMicroseconds) / 1000.0;
    state.counters["list_step_ms"] = double(worst.stepMicroseconds) / 1000.0;
}

} // namespace

BENCHMARK(longNamesEditor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(startUpUntilShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
