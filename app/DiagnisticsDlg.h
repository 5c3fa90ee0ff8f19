#pragma once

#include <QDialog>

#include <memory>

class MediaDevices;
class QLabel;
class QPushButton;
class QThread;

// "Диагностика системы": whether the configured camera, microphone and
// measuring unit are there, and what computer this is. The checks run once,
// while the dialog is built; the unit is tested on a thread of its own so the
// window stays responsive, and the copy button waits until its result is in.
class DiagnisticsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit DiagnisticsDlg(QWidget *parent = nullptr);
    // With the devices and the plug-in folder to examine instead of this machine's.
    DiagnisticsDlg(QWidget *parent, const MediaDevices &devices, const QString &pluginFolder);
    // Waits for the unit test, so the unit is free again once the dialog is gone.
    ~DiagnisticsDlg() override;

    bool isCheckingUnit() const;

public slots:
    void onCopyClipboard();

private:
    QWidget *buildMultimediaGroup(const MediaDevices &devices, const QString &cameraName,
                                  const QString &microphoneName);
    QWidget *buildUnitGroup(const QString &displayName);
    QWidget *buildComputerGroup();
    void startUnitTest(const QString &pluginPath, const QString &displayName);
    void showUnitResult(bool passed, const QString &displayName);

    QLabel *m_systemLabel = nullptr;
    QLabel *m_architectureLabel = nullptr;
    QLabel *m_memoryLabel = nullptr;
    QLabel *m_unitResult = nullptr;
    QPushButton *m_copyButton = nullptr;
    QString m_report;
    QString m_computerReport;
    std::unique_ptr<QThread> m_unitTest;
    bool m_unitPassed = false;
};
