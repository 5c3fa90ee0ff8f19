#include "AlignmentDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

AlignmentDlg::AlignmentDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Юстировка каналов"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Юстировка каналов в этой версии недоступна.")));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
