// Load and save cost of the data store on a small and a large image; they
// should cost the same, since only the tables are read and written.
#include "Core.h"
#include "DemoImage.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A synthetic image of `size` bytes in a scratch directory, removed at the end.
class ScratchImage {
public:
    explicit ScratchImage(std::size_t size)
        : dir(fs::temp_directory_path() / ("tarvon-bench-" + std::to_string(size))) {
        fs::create_directories(dir);
        const std::vector<std::uint8_t> image = makeSyntheticImage(size, 1);
        std::ofstream(path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
        std::ofstream(dir / "names.cfg") << "Enemy 00\r\n";
    }
    ~ScratchImage() { fs::remove_all(dir); }
    const fs::path& directory() const { return dir; }
    fs::path path() const { return dir / "game.smc"; }

private:
    fs::path dir;
};

void checkAndLoad(benchmark::State& state) {
    const ScratchImage image(static_cast<std::size_t>(state.range(0)));
    Core core(image.directory());
    core.setRomPath(image.path().string());
    for (auto _ : state) {
        if (!core.isValidRom() || !core.loadRom())
            state.SkipWithError("load failed");
    }
}

void save(benchmark::State& state) {
    const ScratchImage image(static_cast<std::size_t>(state.range(0)));
    Core core(image.directory());
    core.setRomPath(image.path().string());
    // The first save also flushes the freshly written image; keep it untimed.
    if (!core.loadRom() || !core.saveRom())
        state.SkipWithError("load failed");
    for (auto _ : state) {
        if (!core.saveRom())
            state.SkipWithError("save failed");
    }
}

constexpr std::int64_t oneMiB = 1 << 20;

} // namespace

BENCHMARK(checkAndLoad)
    ->Arg(oneMiB)
    ->Arg(64 * oneMiB)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(save)->Arg(oneMiB)->Arg(64 * oneMiB)->Unit(benchmark::kMicrosecond)->UseRealTime();
