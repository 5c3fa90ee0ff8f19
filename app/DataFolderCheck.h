#pragma once

#include <QString>

#include <functional>

class GenericSettings;
class QWidget;

// At start, a data folder that is not there (a share not mounted, a disk
// removed) is told, and made only when the examiner asks for it; the
// program's own default folder is made without a word.
class DataFolderCheck
{
public:
    enum Outcome { Ready, Quit };
    // The folder the examiner picks instead; empty when none was picked.
    using ChooseFolder = std::function<QString(QWidget *parent, const QString &current)>;

    // Asks while the settings' root folder is missing: create it, choose
    // another (stored in the settings), or quit.
    static Outcome ensure(QWidget *parent, GenericSettings &settings, const ChooseFolder &choose);
    // The folder dialog.
    static QString chooseWithDialog(QWidget *parent, const QString &current);
};
