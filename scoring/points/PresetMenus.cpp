#include "PresetMenus.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PresetMenus", text);
}

void addChoices(QMenu *submenu, const QVector<int> &values, int current, QObject *receiver,
                const std::function<QString(int)> &textOf, const std::function<void(int)> &choose)
{
    auto *group = new QActionGroup(submenu);
    for (int value : values) {
        QAction *action = submenu->addAction(textOf(value), receiver, [choose, value] { choose(value); });
        action->setCheckable(true);
        action->setChecked(value == current);
        group->addAction(action);
    }
}

}  // namespace

void addScaleMenu(QMenu *menu, const QVector<int> &values, int current, QObject *receiver,
                  const std::function<void(int)> &choose)
{
    const auto textOf = [](int value) {
        return value < 0 ? tr("Масштаб auto") : tr("Масштаб %1%").arg(value);
    };
    addChoices(menu->addMenu(tr("Масштаб")), values, current, receiver, textOf, choose);
}

void addUnfoldMenu(QMenu *menu, const QVector<int> &values, int current, QObject *receiver,
                   const std::function<void(int)> &choose)
{
    const auto textOf = [](int value) { return tr("Развертка %1 сек.").arg(QString::number(value / 1000.0)); };
    addChoices(menu->addMenu(tr("Развертка")), values, current, receiver, textOf, choose);
}

QAction *addFlagAction(QMenu *menu, const QString &text, bool checked, QObject *receiver,
                       const std::function<void()> &toggle)
{
    QAction *action = menu->addAction(text, receiver, toggle);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}
