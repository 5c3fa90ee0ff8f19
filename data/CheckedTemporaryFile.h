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
    // Syncs the folder the file was made in, so that a name given to it there
    // reaches the disk too; the same as syncToDisk otherwise. A file system
    // that syncs no folders leaves nothing to do.
    bool syncFolderToDisk();

    // Why a file could not be written, in words for the examiner, those of
    // WholeFile::failure: a full disk or a file too large is said so. The
    // system's words for the error number stand where no others are given.
    static QString reason(int errorNumber, const QString &words = QString());

protected:
    qint64 writeData(const char *data, qint64 length) override;

private:
    void remember(int errorNumber);

    bool m_failed = false;
    int m_errorNumber = 0;
    QString m_words;
};
