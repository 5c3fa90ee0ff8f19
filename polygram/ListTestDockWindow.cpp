#include "ListTestDockWindow.h"

#include "ListTestWidget.h"

ListTestDockWindow::ListTestDockWindow(QWidget *parent)
    : QDockWidget(parent)
    , m_list(new ListTestWidget(this))
{
    setWindowTitle(tr("Список предъявленных тестов"));
    setStyleSheet("QDockWidget { font: bold }");
    setFeatures(QDockWidget::DockWidgetMovable);
    setWidget(m_list);
    connect(m_list, &QListWidget::clicked, this, &ListTestDockWindow::showSelectedItem);
}

void ListTestDockWindow::clear()
{
    m_list->clear();
}

void ListTestDockWindow::addTest(int indexTest, const QString &text)
{
    auto *item = new QListWidgetItem(text, m_list);
    item->setData(Qt::UserRole, indexTest);
}

int ListTestDockWindow::currentTest() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void ListTestDockWindow::selectTest(int indexTest, int iPos, int iChannel)
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        if (item->data(Qt::UserRole).toInt() != indexTest)
            continue;
        m_list->setCurrentItem(item);
        m_list->setCurrentRow(row);
        item->setSelected(true);
        emit notificationChangedTestSignal(indexTest, iPos, iChannel);
        return;
    }
}

void ListTestDockWindow::showSelectedItem(QModelIndex)
{
    if (!m_list->currentItem())
        return;
    emit notificationChangedTestSignal(currentTest(), -1, -1);
}
