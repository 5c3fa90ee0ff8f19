#include "app/services/SimpleTextDlg.h"

#include "data/WaitCursor.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

SimpleTextDlg::SimpleTextDlg(const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    const WaitCursor wait;
    setWindowTitle(QObject::tr("Воркел"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(caption + QStringLiteral(":"), this));
    m_text = new QPlainTextEdit(this);
    layout->addWidget(m_text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SimpleTextDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SimpleTextDlg::reject);

    resize(600, 300);
}

void SimpleTextDlg::accept()
{
    done(1);
}
