#pragma once

#include <QDialog>

class QPlainTextEdit;

// Edits one free text under a caption. The caller puts the text into
// textEdit() before exec and reads it back only when exec returns 1.
class SimpleTextDlg : public QDialog
{
    Q_OBJECT

public:
    SimpleTextDlg(const QString &caption, QWidget *parent = nullptr);

    QPlainTextEdit *textEdit() const { return m_text; }

public slots:
    void accept() override;

private:
    QPlainTextEdit *m_text;
};
