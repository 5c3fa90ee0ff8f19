#pragma once

// Runs a benchmark once on each of Qt's raster fill paths, each in a process
// of its own: Qt picks its fill routines as QtGui loads.
#include "app/RasterFillChoice.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace BenchFillPaths {

// True in the child that measures. In the parent: says which path the
// program takes here, runs this benchmark on both paths and returns false.
inline bool measuresHere(char *argv[])
{
    if (qEnvironmentVariableIsSet("VUG_BENCH_FILL_CHILD"))
        return true;
    const double penalty = RasterFillChoice::probePenaltyNs();
    std::printf("AVX-to-SSE transition %.0f ns dearer than a clean one; the program takes %s here\n", penalty,
                RasterFillChoice::slowTransition(penalty) ? "the SSE2 fills" : "the AVX2 fills");
    for (const char *disabled : {"", "avx2"}) {
        std::printf("=== %s\n", *disabled ? "SSE2 fills (QT_NO_CPU_FEATURE=avx2)" : "AVX2 fills (Qt as it is)");
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            setenv("QT_NO_CPU_FEATURE", disabled, 1);
            setenv("VUG_BENCH_FILL_CHILD", "1", 1);
            execv("/proc/self/exe", argv);
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    return false;
}

}  // namespace BenchFillPaths
