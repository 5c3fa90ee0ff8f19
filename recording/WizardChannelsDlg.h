#pragma once

#include "data/Inspection.h"

#include <QDialog>

class QListView;
class QRadioButton;
class QStandardItemModel;

// The test whose channels the wizard works on; set by the recording screen
// right before it opens the wizard. Not owned.
extern Inspection::_Test *currentWizardTest;

// Copies device settings of chosen channels in one step: saves the recording's
// current settings as the saved set-up, or applies the saved set-up or the
// maker's recommended settings to them. Remembers its mode and checked channels.
class WizardChannelsDlg : public QDialog
{
    Q_OBJECT
public:
    enum Mode { SaveCurrent = 0, ApplySaved = 1, ApplyRecommended = 2 };

    explicit WizardChannelsDlg(QWidget *parent);

    void applyChannels();
    void loadState();
    void saveState();

    QListView *channelList;
    QRadioButton *saveCurrentButton;
    QRadioButton *applySavedButton;
    QRadioButton *applyRecommendedButton;

public slots:
    void onAccept();
    void onReject();
    void onApply();
    void onSelectAll();
    void onClearAll();

private:
    void fillList();
    void setAllChecked(bool checked);
    Mode mode() const;

    QStandardItemModel *m_model;
};
