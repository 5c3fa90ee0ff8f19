#pragma once

#include <QString>
#include <QTemporaryFile>

// A temporary file that remembers its first write that failed or came up
// short, with the system's words for it: Qt reports a short write as done,
// and closing the file clears the error of a failed one.
class CheckedTemporaryFile : public QTemporaryFile
{
public:
    explicit CheckedTemporaryFile(const QString &templateName);

    // Opened for writing without Qt's buffer: each write reaches the system
    // at once, so none is retried from a buffer after a part of it went out.
    bool openUnbuffered();
    bool failed() const { return m_failed; }
    // The system's error number of the failed write, 0 when it gave none.
    int failedWith() const { return m_errorNumber; }
    QString failureWords() const { return m_words; }
    // Syncs to the disk, remembering a failure as a failed write.
    bool syncToDisk();

protected:
    qint64 writeData(const char *data, qint64 length) override;

private:
    void remember(int errorNumber);

    bool m_failed = false;
    int m_errorNumber = 0;
    QString m_words;
};
