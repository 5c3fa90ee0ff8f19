#pragma once

#include <QString>

class QSettings;

// The display options of one fragment panel of the points window, kept in
// its settings group; the second panel's keys carry the suffix "2".
struct PointsPanelOptions {
    int iScale = -1;  // image scale in percent, -1 automatic
    int iUnfold = 1000;  // time scale in milliseconds
    bool bShowQuestText = true;
    bool bShowAllChannels = true;
    bool bShowBkIA = true;
    bool bShowQuest = true;
    bool bShowBkQuest = true;
    bool bShowAsLabel = true;
    bool bShowAsIA = true;
    bool bShowQuestC = true;
    bool bShowQuestN = true;
    bool bShowQuestP = true;
    bool bModePinnable = false;
    bool bVisiblePanel = true;

    explicit PointsPanelOptions(bool visible = true) : bVisiblePanel(visible) {}

    // Keys absent, unreadable or out of range keep the defaults.
    void read(const QSettings &settings, const QString &suffix);
    void write(QSettings &settings, const QString &suffix) const;
};

// A stored picture scale in percent, or fallback when it is none a picture can
// be drawn at (absurd sizes would exhaust memory).
int sanePictureScale(int stored, int fallback);
// A stored time scale in milliseconds, or fallback when it would divide by
// zero or stretch a picture past any memory.
int saneUnfold(int stored, int fallback);

// Whether a question of that kind passes a filter of control, test and
// neutral questions; other kinds always pass.
bool questionKindShown(int kind, bool control, bool test, bool neutral);
