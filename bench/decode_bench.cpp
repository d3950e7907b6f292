// The sheet decode next to libjpeg-turbo's own command-line decoder on the same file.

#include "bench_support.h"

#include "view/sheet.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <jpeglib.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dim;
using namespace dim::bench;

extern char **environ;

namespace {

// Writes a small grey JPEG, so that a decoder run on it costs little more than its start-up.
bool WriteTinyJpeg(const std::string &path) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    constexpr int kSide = 8;
    cinfo.image_width = kSide;
    cinfo.image_height = kSide;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(kSide * 3, 128);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

// Runs `djpeg -outfile /dev/null file` to its end; the wall time in microseconds, or a
// negative value when it could not be started or failed.
double TimeDjpeg(const std::string &djpeg, const std::string &file) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string arg0 = "djpeg";
    std::string arg1 = "-outfile";
    std::string arg2 = "/dev/null";
    std::string arg3 = file;
    char *const argv[] = {arg0.data(), arg1.data(), arg2.data(), arg3.data(), nullptr};

    const auto t0 = BenchClock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, djpeg.c_str(), &actions, nullptr, argv, environ);
    int status = 0;
    const bool waited = spawned == 0 && waitpid(pid, &status, 0) == pid;
    const auto t1 = BenchClock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!waited || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return MicrosecondsBetween(t0, t1);
}

void BM_SheetDecode(benchmark::State &state) {
    const QByteArray &bytes = SheetBytes();
    if (bytes.isEmpty()) {
        state.SkipWithError("resources/sheet.jpg could not be read");
        return;
    }
    const std::string djpeg = DIM_DJPEG;
    if (djpeg.empty() || access(djpeg.c_str(), X_OK) != 0) {
        state.SkipWithError("djpeg (libjpeg-turbo-progs) is not installed");
        return;
    }
    QTemporaryDir dir;
    const std::string tiny = dir.filePath(QStringLiteral("tiny.jpg")).toStdString();
    if (!dir.isValid() || !WriteTinyJpeg(tiny)) {
        state.SkipWithError("could not write the start-up probe JPEG");
        return;
    }
    const std::string sheetPath = DIM_SOURCE_DIR "/resources/sheet.jpg";

#ifdef __GLIBC__
    // The editor decodes once, into memory fresh from the system, as djpeg does in each run.
    // glibc would otherwise keep the freed coefficient buffers of one decode in its heap for
    // the next and spare it the page faults; a fixed threshold always maps large blocks anew.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif

    std::vector<double> decode;
    std::vector<double> djpegFull;
    std::vector<double> djpegStartUp;
    for (auto _ : state) {
        const auto t0 = BenchClock::now();
        QImage image = DecodeJpeg(bytes);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
        const auto t1 = BenchClock::now();
        decode.push_back(MicrosecondsBetween(t0, t1));
        if (image.isNull()) {
            state.SkipWithError("the sheet did not decode");
            break;
        }

        // The reference runs take turns with the decode, so that load from elsewhere on
        // the machine falls on all three alike.
        state.PauseTiming();
        const double full = TimeDjpeg(djpeg, sheetPath);
        const double startUp = TimeDjpeg(djpeg, tiny);
        state.ResumeTiming();
        if (full < 0 || startUp < 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
        djpegFull.push_back(full);
        djpegStartUp.push_back(startUp);
    }
    if (decode.empty() || djpegFull.empty())
        return;

    const double decodeMs = Median(decode) / 1000.0;
    const double startUpMs = Median(djpegStartUp) / 1000.0;
    const double netMs = Median(djpegFull) / 1000.0 - startUpMs;
    const double ratio = netMs > 0 ? decodeMs / netMs : 0.0;
    state.counters["decode_ms"] = decodeMs;
    state.counters["djpeg_ms"] = netMs;
    state.counters["djpeg_startup_ms"] = startUpMs;
    state.counters["ratio"] = ratio;
    state.counters["target_met"] = netMs > 0 && ratio <= 1.2 ? 1.0 : 0.0;
}

} // namespace

BENCHMARK(BM_SheetDecode)->Iterations(25)->UseRealTime()->Unit(benchmark::kMillisecond);
