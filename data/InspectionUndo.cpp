// Undo history of test structures, kept per test identifier in memory only.
#include "Inspection.h"

void Inspection::pushUndoState(_Test *test)
{
    if (!test)
        return;
    QJsonObject structure;
    test->toJson(structure);
    pushUndoObject(test->id, structure);
}

void Inspection::pushUndoObject(const QUuid &id, const QJsonObject &structure)
{
    _UndoHistory &history = undoHistory[id];
    if (!history.states.isEmpty())
        history.states.resize(history.position + 1);
    history.states.append(structure);
    history.position = history.states.size() - 1;
}

StoreResult Inspection::stepUndo(_Test *test, int delta)
{
    if (!test)
        return StoreResult::NotWritten;
    _UndoHistory &history = undoHistory[test->id];
    if (history.states.isEmpty())
        return StoreResult::NotWritten;
    const int saved = history.position;
    history.position = qBound(0, history.position + delta, history.states.size() - 1);
    test->fromJson(history.states[history.position]);
    const StoreResult result = saveTestStruct(test, false);
    // The state in force stays the one the file holds.
    if (result != StoreResult::Ok)
        undoHistory[test->id].position = saved;
    return result;
}

bool Inspection::canUndo(const _Test *test) const
{
    return test && undoHistory.value(test->id).position > 0;
}

bool Inspection::canRedo(const _Test *test) const
{
    if (!test)
        return false;
    const _UndoHistory history = undoHistory.value(test->id);
    return history.position < history.states.size() - 1;
}
