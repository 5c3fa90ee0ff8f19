#pragma once

#include <QDockWidget>

class Inspection;
class QLabel;

// The pre-test conversation dock of the examination editor. F12 and Ctrl+F12
// start and stop the speech recording of the selected subject.
class PreTestCanversationDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PreTestCanversationDockWindow(QWidget *parent = nullptr);

    void startRecordSpeech();
    void stopRecordSpeech();
    bool isRecordingSpeech() const { return m_recordingSpeech; }

public slots:
    void onChangedPersone(QString path, Inspection *inspection);

signals:
    void speechRecordingChanged(bool recording);

private:
    void setRecordingSpeech(bool recording);

    Inspection *m_inspection = nullptr;
    QString m_path;
    bool m_recordingSpeech = false;
    QLabel *m_state;
};
