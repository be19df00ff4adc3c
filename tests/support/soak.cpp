// Soak: whole updates in a row against the simulator, each with its own random chunking and
// noise between the asterisks, each image compared byte for byte. Prints how many arrived
// intact and the process's resident memory at the start and the end.
// Usage: qz7-soak [RUNS]   (default 200)
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <fstream>

namespace {
long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    // The controller prints each image's length on standard output; the soak's own report goes
    // to standard error.
    if (!std::freopen("/dev/null", "w", stdout))
        return 2;
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string image = ShippedImage();
    int intact = 0;
    long startKiB = 0;
    auto began = std::chrono::steady_clock::now();
    for (int i = 1; i <= runs; ++i) {
        bootsim::Options o = FastSim();
        o.powerOnDelay = 150ms;
        o.eraseDelay = 100ms;
        o.seed = static_cast<unsigned>(i);
        o.chunking = i % 3 == 0 ? bootsim::Chunking::Random : i % 3 == 1 ? bootsim::Chunking::Whole : bootsim::Chunking::Merged;
        o.noiseBytes = i % 6;
        o.expected = image;
        SimUpdate run(o);
        if (!run.opened)
            return 2;
        std::fflush(stdout);
        bool done = run.PressUpdate({}, 10s) && run.Shows("Done", 30s);
        run.Quit();
        bootsim::BootSim& sim = run.sim;
        sim.WaitFinished(2s);
        sim.Stop();
        bootsim::Result r = sim.Snapshot();
        bool ok = done && r.Intact() && sim.Wire() == "yyEP" + image;
        intact += ok;
        if (i == 1)
            startKiB = ResidentKiB();
        if (!ok)
            std::fprintf(stderr, "\nsoak: run %d: %s (screen said Done: %s)\n", i, r.Summary().c_str(), done ? "yes" : "no");
        if (i % 20 == 0)
            std::fprintf(stderr, "soak: %d of %d runs, %d intact\n", i, runs, intact);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::fprintf(stderr, "soak: %d of %d updates intact in %.0f s; resident memory %ld KiB after the first, %ld KiB after the last\n",
                intact, runs, seconds, startKiB, ResidentKiB());
    return intact == runs ? 0 : 1;
}
