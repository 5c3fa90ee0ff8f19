#include "app/RasterFillChoice.h"

#include <QtGlobal>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

// Filled before any constructor runs: constant-initialised, never rebuilt.
RasterFillChoice::Start chosen;

// The program started afresh passes the penalty it measured on.
constexpr char kDisable[] = "QT_NO_CPU_FEATURE";
constexpr char kMeasured[] = "VUG_FILL_PENALTY_NS";

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

// getenv does not work before the C library's start-up: the given block is read.
const char *variable(char **envp, const char *name)
{
    const std::size_t length = std::strlen(name);
    for (; envp && *envp; ++envp)
        if (std::strncmp(*envp, name, length) == 0 && (*envp)[length] == '=')
            return *envp + length + 1;
    return nullptr;
}

int wholeNumber(const char *text)
{
    int value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + (*text - '0');
    return value;
}

// "VUG_FILL_PENALTY_NS=<n>", written by hand: the C library's formatting is
// not set up yet.
char *measuredVariable(int penaltyNs)
{
    static char measured[64];
    char *end = std::strcpy(measured, kMeasured) + std::strlen(kMeasured);
    *end++ = '=';
    char digits[12];
    int count = 0;
    for (unsigned value = unsigned(qMax(0, penaltyNs)); value || !count; value /= 10)
        digits[count++] = char('0' + value % 10);
    while (count)
        *end++ = digits[--count];
    *end = '\0';
    return measured;
}

void restartWithoutAvx2(char **argv, char **envp, int penaltyNs)
{
    static char disable[] = "QT_NO_CPU_FEATURE=avx2";
    std::vector<char *> environment = RasterFillChoice::restartEnvironment(envp, disable, measuredVariable(penaltyNs));
    // By its own path, so that the process keeps its name.
    static char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return;
    program[length] = '\0';
    execve(program, argv, environment.data());
    // Where that fails the program goes on with Qt's AVX2 fills.
}

}  // namespace

namespace RasterFillChoice {

Start startFor(char **envp, double (*probe)())
{
    Start start;
    if (const char *measured = variable(envp, kMeasured)) {
        start.passedOn = true;
        start.penaltyNs = wholeNumber(measured);
        return start;
    }
    start.userSet = variable(envp, kDisable) != nullptr;
    if (start.userSet)
        return start;
    start.penaltyNs = probe();
    start.restart = slowTransition(start.penaltyNs);
    return start;
}

std::vector<char *> restartEnvironment(char **envp, char *disable, char *measured)
{
    std::vector<char *> environment;
    for (; envp && *envp; ++envp)
        environment.push_back(*envp);
    environment.push_back(disable);
    environment.push_back(measured);
    environment.push_back(nullptr);
    return environment;
}

void chooseBeforeLibraries(int, char **argv, char **envp)
{
    chosen = startFor(envp, &probePenaltyNs);
    if (chosen.restart)
        restartWithoutAvx2(argv, envp, int(chosen.penaltyNs));
}

void forgetAddedVariables(const Start &start)
{
    if (!start.passedOn)
        return;
    unsetenv(kDisable);
    unsetenv(kMeasured);
}

void forgetAddedVariables()
{
    forgetAddedVariables(chosen);
}

double probePenaltyNs()
{
    return cpuHasAvx2() ? transitionNs(false) - transitionNs(true) : -1.0;
}

bool slowTransition(double penaltyNs)
{
    return penaltyNs > kSlowTransitionNs;
}

bool avx2Fills()
{
    // The program started afresh runs without them, its variables forgotten or not.
    return cpuHasAvx2() && !chosen.passedOn && !disablesAvx2(std::getenv(kDisable));
}

QString description()
{
    const QString path = avx2Fills() ? QStringLiteral("заливка AVX2") : QStringLiteral("заливка SSE2");
    if (chosen.userSet)
        return QStringLiteral("%1, задано %2").arg(path, QLatin1String(kDisable));
    if (chosen.penaltyNs < 0)
        return path;
    return QStringLiteral("%1, переход AVX→SSE %2 нс").arg(path).arg(qRound(chosen.penaltyNs));
}

}  // namespace RasterFillChoice
