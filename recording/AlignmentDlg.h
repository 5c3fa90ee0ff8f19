#pragma once

#include <QDialog>

// The channel alignment dialog.
class AlignmentDlg : public QDialog
{
    Q_OBJECT
public:
    explicit AlignmentDlg(QWidget *parent = nullptr);
};
