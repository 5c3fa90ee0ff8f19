#pragma once

#include <QDockWidget>
#include <QModelIndex>

class QListWidget;

// The review screen's list of recorded tests. Each row carries its test's
// index in the examination; a click or selectTest announces the choice.
class ListTestDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit ListTestDockWindow(QWidget *parent = nullptr);

    void clear();
    void addTest(int indexTest, const QString &text);
    // The test index of the current row, -1 without one.
    int currentTest() const;
    // Makes the first row of that test current and announces it; an index
    // without a row changes nothing.
    void selectTest(int indexTest, int iPos, int iChannel);

signals:
    void notificationChangedTestSignal(int IndexTest, int iPos, int iChannel);

public slots:
    void showSelectedItem(QModelIndex index);

private:
    QListWidget *m_list;
};
