#pragma once

#include "data/GenericSettings.h"

#include <QWidget>

class QLineEdit;
class SettingsFields;

// The "Общие" page: zoom window size, font factor, data root folder, reference book.
class SettingsGeneralPage : public QWidget
{
    Q_OBJECT
public:
    SettingsGeneralPage(const GenericSettings &loaded, QWidget *parent);
    void apply(GenericSettings &settings, SettingsFields &fields) const;

    QLineEdit *zoomWidthField() const { return m_zoomH; }
    QLineEdit *zoomHeightField() const { return m_zoomV; }  // for tests
    QLineEdit *fontFactorField() const { return m_fontK; }  // for tests
    QLineEdit *rootFolderField() const { return m_rootFolder; }  // for tests
    QLineEdit *fileSpravField() const { return m_fileSprav; }  // for tests

private slots:
    void onSelectRootFolder();
    void onSelectFileSprav();

private:
    // The choosers start where the loaded settings point, not at the field's text.
    const QString m_loadedRootFolder;
    const QString m_loadedFileSprav;
    QLineEdit *m_zoomH;
    QLineEdit *m_zoomV;
    QLineEdit *m_fontK;
    QLineEdit *m_rootFolder;
    QLineEdit *m_fileSprav;
};
