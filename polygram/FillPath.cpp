#include "polygram/FillPath.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

// Filled before any constructor runs: constant-initialised, never rebuilt.
struct Decision {
    bool decided = false;
    bool userSet = false;
    bool avoided = false;
    double penaltyNs = -1.0;
};
Decision decision;

// A transition this much dearer than a clean one outweighs the wider stores.
constexpr double kSlowTransitionNs = 20.0;

#if defined(__x86_64__)

bool cpuHasAvx2()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX))
        return false;
    unsigned low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6) != 6)
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2);
}

double nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

// The cheapest of a few short batches, per 256-bit store followed by SSE
// code, with or without clearing the upper halves in between.
double transitionNs(bool clearUpper)
{
    constexpr int kBatches = 5;
    constexpr int kRounds = 200;
    alignas(32) unsigned char buffer[64];
    double best = 1e30;
    for (int batch = 0; batch < kBatches; ++batch) {
        const double start = nowNs();
        for (int i = 0; i < kRounds; ++i) {
            __asm__ volatile("vpcmpeqd %%ymm0, %%ymm0, %%ymm0\n\t"
                             "vmovdqu %%ymm0, %0" : "=m"(buffer) : : "xmm0");
            if (clearUpper)
                __asm__ volatile("vzeroupper" : : : "xmm0");
            __asm__ volatile("paddd %%xmm1, %%xmm1\n\t"
                             "movdqu %%xmm1, %0" : "+m"(buffer) : : "xmm1");
        }
        const double elapsed = (nowNs() - start) / kRounds;
        best = elapsed < best ? elapsed : best;
    }
    __asm__ volatile("vzeroupper" : : : "xmm0", "xmm1");
    return best;
}

#else

bool cpuHasAvx2()
{
    return false;
}

double transitionNs(bool)
{
    return 0.0;
}

#endif

bool disablesAvx2(const char *value)
{
    return value && std::strstr(value, "avx2");
}

}  // namespace

namespace FillPath {

void decide()
{
    decision.decided = true;
    decision.userSet = std::getenv("QT_NO_CPU_FEATURE") != nullptr;
    if (decision.userSet || !cpuHasAvx2())
        return;
    decision.penaltyNs = transitionNs(false) - transitionNs(true);
    decision.avoided = decision.penaltyNs > kSlowTransitionNs;
    if (decision.avoided)
        setenv("QT_NO_CPU_FEATURE", "avx2", 1);
}

double transitionPenaltyNs()
{
    return decision.penaltyNs;
}

bool avx2Fills()
{
    return cpuHasAvx2() && !disablesAvx2(std::getenv("QT_NO_CPU_FEATURE"));
}

QString description()
{
    const QString path = avx2Fills() ? QStringLiteral("заливка AVX2") : QStringLiteral("заливка SSE2");
    if (decision.userSet)
        return QStringLiteral("%1, задано QT_NO_CPU_FEATURE").arg(path);
    if (decision.penaltyNs < 0)
        return path;
    return QStringLiteral("%1, переход AVX→SSE %2 нс").arg(path).arg(qRound(decision.penaltyNs));
}

}  // namespace FillPath
