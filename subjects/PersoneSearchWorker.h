#pragma once

#include "PersoneSearchDlg.h"
#include "PersoneSearchMatch.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <memory>

// Checks subject files against the search conditions, in order, on a thread of
// its own: a file with hours of recordings takes longer to read than the
// window may stay without answer.
class PersoneSearchWorker : public QObject
{
    Q_OBJECT
public:
    PersoneSearchWorker(const PersoneSearchDlg::_Conditions &conditions, const QStringList &files);
    // Cancels, and waits for the file being read.
    ~PersoneSearchWorker() override;

    void start();

public slots:
    // No file after the one being read is checked.
    void cancel();

signals:
    // Queued to the thread that made the worker, one per file in order.
    void checked(int index, SubjectCheck check);
    // After the last file checked, or the cancel.
    void finished();

private:
    void run();

    const PersoneSearchDlg::_Conditions m_conditions;
    const QStringList m_files;
    std::atomic<bool> m_canceled{false};
    std::unique_ptr<QThread> m_thread;
};
