#pragma once

#include <QString>

// Which of Qt's raster fill routines the process uses. On some processors
// (virtual machines on AMD EPYC among them) Qt's AVX2 span fill returns into
// SSE code without clearing the upper register halves, and each such
// transition costs about a hundred nanoseconds; there every raster drawing is
// cheaper with Qt's AVX2 routines switched off. Qt picks its routines when
// QtGui loads, so the choice is made before any library starts up.
namespace FillPath {

// Times the transition and, where it is slow and the user has not set
// QT_NO_CPU_FEATURE, starts the program afresh with it set to avx2. Runs from
// the program's pre-initialisation entry, before the libraries' own start-up
// (the C library's too, which resets the environment, so setting it in place
// would not reach Qt). Uses no Qt.
void startOnChosenPath(int argc, char **argv, char **envp);

// Times the transition in this process; negative without AVX2.
double probePenaltyNs();
bool slowTransition(double penaltyNs);

// The extra cost of one AVX-to-SSE transition in nanoseconds as measured at
// start; negative where it was not measured.
double transitionPenaltyNs();

// True where Qt's AVX2 fill routines are in use in this process.
bool avx2Fills();

// One phrase for the diagnostics report.
QString description();

}  // namespace FillPath

// The program's entry that runs before every library's start-up code.
#define VUG_DECIDE_FILL_PATH_BEFORE_LIBRARIES                                                                   \
    __attribute__((section(".preinit_array"), used)) static void (*const vugDecideFillPath)(int, char **, char **) = \
        &FillPath::startOnChosenPath
