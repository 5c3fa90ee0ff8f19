#pragma once

#include <QString>

// The file a recording's video is written into until the recording ends,
// under a name of its own in the media folder that no other recording takes,
// renames or removes: made new for each recording (the machine, the program's
// process and a random part in its name) and held open and locked until it is
// put in its place. Held open, it is found wherever another program moves it, and read
// back even once deleted.
class TemporaryVideo
{
public:
    enum class Kind { Test, PreTest };

    // Makes the file in the folder, and the folder when the one above it is there.
    TemporaryVideo(const QString &folder, Kind kind);
    // Lets the file go where it lies.
    ~TemporaryVideo();
    TemporaryVideo(const TemporaryVideo &) = delete;
    TemporaryVideo &operator=(const TemporaryVideo &) = delete;

    // The name it was made under, for the recorder.
    QString path() const { return m_path; }
    // Where the file lies now; empty when it is deleted or was never made.
    QString whereNow() const;
    // Whether the file holds anything, wherever it lies.
    bool holdsBytes() const;
    // Puts the file at target, never over another: renamed from where it lies,
    // or copied out of its handle once deleted. Empty when done, else why not;
    // the file then stays where it lay.
    QString moveTo(const QString &target);
    // The file wherever it lies: a recording not kept.
    void remove();

    // Removes the test recordings' files of this machine in the folder that no
    // program holds: left by a program that died while recording.
    static void removeLeftovers(const QString &folder);

private:
    void make(const QString &folder, Kind kind);

    QString m_path;
    int m_handle = -1;
};
