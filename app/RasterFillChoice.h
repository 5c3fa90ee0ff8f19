#pragma once

#include <QString>

#include <vector>

// Which of Qt's raster fill routines the process uses, AVX2 or SSE2. On some
// processors (virtual machines on AMD EPYC among them) Qt's AVX2 span fill
// returns into SSE code without clearing the upper register halves, and each
// such transition costs about a hundred nanoseconds; there every raster
// drawing is cheaper with Qt's AVX2 routines switched off. Qt picks its
// routines when QtGui loads, so the choice is made before any library starts
// up, by starting the program afresh with QT_NO_CPU_FEATURE=avx2.
namespace RasterFillChoice {

// What start-up chose for one environment.
struct Start {
    bool userSet = false;     // the user's own QT_NO_CPU_FEATURE stands
    bool passedOn = false;    // this is the program started afresh
    bool restart = false;     // start afresh with the SSE2 fills
    double penaltyNs = -1.0;  // negative where not measured
};

// The choice for an environment block; probe times the transition and is
// called only where nothing in the block decides already.
Start startFor(char **envp, double (*probe)());

// The environment block of the program started afresh: all of envp and the
// two variables that carry the choice.
std::vector<char *> restartEnvironment(char **envp, char *disable, char *measured);

// Chooses and, where the SSE2 fills win, starts the program afresh. Runs from
// the program's pre-initialisation entry, before the libraries' own start-up
// (the C library's too, which resets the environment, so setting it in place
// would not reach Qt). Uses no Qt.
void chooseBeforeLibraries(int argc, char **argv, char **envp);

// Takes the variables the program added out of its environment again, once
// Qt has read them, so that the processes it starts (the spreadsheet, the
// file manager, its own restart) get the environment the user started it with.
void forgetAddedVariables(const Start &start);
// The same for the choice this process made at start.
void forgetAddedVariables();

// Times the transition in this process; negative without AVX2.
double probePenaltyNs();
bool slowTransition(double penaltyNs);

// True where Qt's AVX2 fill routines are in use in this process.
bool avx2Fills();

// One phrase for the diagnostics report.
QString description();

}  // namespace RasterFillChoice

// The program's entry that runs before every library's start-up code.
#define VUG_CHOOSE_RASTER_FILLS_BEFORE_LIBRARIES                                                                 \
    __attribute__((section(".preinit_array"), used)) static void (*const vugChooseRasterFills)(int, char **,    \
                                                                                               char **) =        \
        &RasterFillChoice::chooseBeforeLibraries
