#pragma once

#include <benchmark/benchmark.h>

#include "platform/linux/LinuxPlatform.h"

namespace quillfen::bench {

// Runs the registered benchmarks with the Linux platform installed, as the programs run.
inline int runBenchmarks(int argc, char** argv) {
    platform::LinuxPlatform linuxPlatform;
    platform::installPlatform(&linuxPlatform);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace quillfen::bench
