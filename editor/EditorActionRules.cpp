#include "EditorActionRules.h"

EditorActionRules editorActionRules(const EditorActionState &state)
{
    EditorActionRules rules;
    // With no subject everything stays off; only the set toggles live outside these rules.
    if (!state.open)
        return rules;
    rules.addTest = rules.excel = rules.collapseExpand = rules.extraInfo = true;
    rules.shiftUp = state.canShiftUp;
    rules.shiftDown = state.canShiftDown;
    if (!state.current) {
        rules.paste = state.testOnClipboard;
        return rules;
    }
    const bool editable = !state.recorded;
    rules.addQuestions = editable;
    rules.copy = rules.copyKey = true;
    rules.paste = editable && (state.testOnClipboard || state.textOnClipboard);
    rules.pasteKey = editable && (state.testOnClipboard || state.questionOnClipboard || state.textOnClipboard);
    rules.edit = rules.editKey = editable;
    rules.remove = rules.deleteKey = editable;
    rules.deleteGroup = state.question && editable;
    rules.deletePolygram = state.recorded && state.test;
    rules.talk = state.test && editable;
    rules.undo = state.canUndo && editable;
    rules.redo = state.canRedo && editable;
    return rules;
}
