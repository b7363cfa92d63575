#include "gif_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "files/save_file.h"
#include "files/whole_file.h"
#include "screens/win_gif.h"

namespace {
struct Measured {
    std::string name;
    std::size_t bytes = 0;
    double ms = 0;
    double cpu_ms = 0;
};

double cpu_ms() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Films and writes one save; false, with a message, when it was not won.
bool measure(const std::string& path, const std::string& folder, Measured& measured) {
    measured.name = std::filesystem::path(path).stem().string();
    auto started = std::chrono::steady_clock::now();
    double cpu_started = cpu_ms();
    LoadResult loaded = load_level(path.c_str(), LevelSource::save_file);
    Film film = film_with_plate([&path] { return load_level(path.c_str(), LevelSource::save_file); }, loaded.par,
                                FilmOptions());
    std::string reason;
    bool written = film.end == FilmEnd::won && replace_file(folder + "/" + measured.name + ".gif", film.gif, reason);
    measured.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    if (!written) {
        std::fprintf(stderr, "%s: not filmed to its win: %s%s\n", measured.name.c_str(), film_end_text(film).c_str(),
                     reason.c_str());
        return false;
    }
    measured.bytes = film.gif.size();
    measured.cpu_ms = cpu_ms() - cpu_started;
    std::printf("%s steps=%d frames=%d bytes=%zu ms=%.0f cpu_ms=%.0f\n", measured.name.c_str(), film.last_step,
                film.frames, measured.bytes, measured.ms, measured.cpu_ms);
    std::fflush(stdout);
    return true;
}

// The middle one of the values.
template <class Value> Value median(std::vector<Value> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int bench_gifs(const std::vector<std::string>& saves) {
    char pattern[] = "/tmp/gearloft-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("gearloft-bench: no scratch folder");
        return 1;
    }
    std::vector<Measured> all;
    int status = saves.empty() ? 1 : 0;
    for (const std::string& save : saves) {
        Measured measured;
        if (measure(save, pattern, measured))
            all.push_back(measured);
        else
            status = 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    if (all.empty())
        return 1;
    std::vector<std::size_t> sizes;
    std::vector<double> times, cpu_times;
    for (const Measured& measured : all)
        sizes.push_back(measured.bytes), times.push_back(measured.ms), cpu_times.push_back(measured.cpu_ms);
    auto by_bytes = [](const Measured& a, const Measured& b) { return a.bytes < b.bytes; };
    auto by_time = [](const Measured& a, const Measured& b) { return a.ms < b.ms; };
    const Measured& biggest = *std::max_element(all.begin(), all.end(), by_bytes);
    const Measured& slowest = *std::max_element(all.begin(), all.end(), by_time);
    std::printf("largest %zu bytes (%s), median %zu bytes\n", biggest.bytes, biggest.name.c_str(), median(sizes));
    std::printf("slowest %.0f ms (%s, cpu %.0f ms), median %.0f ms (cpu %.0f ms)\n", slowest.ms, slowest.name.c_str(),
                slowest.cpu_ms, median(times), median(cpu_times));
    return status;
}
