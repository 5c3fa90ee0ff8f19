#include "PreTestCanversationDockWindow.h"

#include <QLabel>

PreTestCanversationDockWindow::PreTestCanversationDockWindow(QWidget *parent)
    : QDockWidget(tr("Предтестовая беседа"), parent), m_state(new QLabel(this))
{
    setObjectName(QStringLiteral("PreTestCanversationDockWindow"));
    m_state->setAlignment(Qt::AlignCenter);
    setWidget(m_state);
    setRecordingSpeech(false);
}

void PreTestCanversationDockWindow::onChangedPersone(QString path, Inspection *inspection)
{
    // The same subject announced again after an edit keeps its recording.
    if (inspection && inspection == m_inspection && path == m_path)
        return;
    setRecordingSpeech(false);
    m_inspection = inspection;
    m_path = path;
}

void PreTestCanversationDockWindow::startRecordSpeech()
{
    if (m_inspection && !m_recordingSpeech)
        setRecordingSpeech(true);
}

void PreTestCanversationDockWindow::stopRecordSpeech()
{
    if (m_inspection && m_recordingSpeech)
        setRecordingSpeech(false);
}

void PreTestCanversationDockWindow::setRecordingSpeech(bool recording)
{
    const bool changed = recording != m_recordingSpeech;
    m_recordingSpeech = recording;
    m_state->setText(recording ? tr("Запись речи: идёт") : tr("Запись речи: остановлена"));
    if (changed)
        emit speechRecordingChanged(recording);
}
