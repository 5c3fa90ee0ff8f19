#pragma once

#include <QPointer>
#include <QString>
#include <QVector>

class QStatusBar;

// A recording's save into a file held by another program waits a few seconds
// before it fails: meanwhile the status bars on the screen say that the
// recording is being saved. The message goes with the notice.
class SavingNotice
{
public:
    SavingNotice();
    ~SavingNotice();
    SavingNotice(const SavingNotice &) = delete;
    SavingNotice &operator=(const SavingNotice &) = delete;

private:
    QVector<QPointer<QStatusBar>> m_bars;
    QString m_text;
};
