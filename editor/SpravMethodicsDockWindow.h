#pragma once

#include "SpravDockWindow.h"

struct InspectionTest;

// The reference book of methodics ("Справочник методик"): folders and stored
// tests of a Russian and an international set, passed to and from examinations.
class SpravMethodicsDockWindow : public SpravDockWindow
{
    Q_OBJECT
public:
    explicit SpravMethodicsDockWindow(QWidget *parent = nullptr);

    bool acceptsDrop(const QMimeData *data) const override;
    QMimeData *dragData(QStandardItem *item) override;
    void dropData(QStandardItem *target, const QMimeData *data, QStandardItem *source) override;

public slots:
    void action_Copy() override;
    void action_Paste() override;
    void action_EditTest();
    void action_DeleteTest();

protected:
    SpravDB::Result updateRowText(SpravDB &db, QStandardItem *item, const QString &text) override;
    bool canPaste(const QStandardItem *current) const override;

private:
    // Reads the stored test of item; false, told to the examiner, when it is damaged.
    bool readSound(QStandardItem *item, InspectionTest &test);
    // Stores test under container and shows it; false when the book refused it.
    bool insertTest(QStandardItem *container, InspectionTest &test);
};
