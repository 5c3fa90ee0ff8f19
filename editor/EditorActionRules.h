#pragma once

// What the examination editor's actions may do, from what it shows. No
// widgets: the window gathers the state and applies the rules.
struct EditorActionState {
    bool open = false;               // a subject file is loaded
    bool current = false;            // the tree has a current item
    bool question = false;           // ... and it is a question
    bool test = false;               // the current item's test was found
    bool recorded = true;            // that test has a recording (true without a test)
    bool canUndo = false;
    bool canRedo = false;
    bool canShiftUp = false;
    bool canShiftDown = false;
    bool testOnClipboard = false;
    bool questionOnClipboard = false;
    bool textOnClipboard = false;
};

struct EditorActionRules {
    bool addTest = false;
    bool excel = false;
    bool collapseExpand = false;
    bool extraInfo = false;
    bool shiftUp = false;
    bool shiftDown = false;
    bool copy = false;
    bool paste = false;
    bool edit = false;
    bool remove = false;
    bool deleteGroup = false;
    bool deletePolygram = false;
    bool addQuestions = false;  // every add-question action and add presentation
    bool talk = false;
    bool undo = false;
    bool redo = false;
    bool copyKey = false;
    bool pasteKey = false;
    bool editKey = false;
    bool deleteKey = false;
};

EditorActionRules editorActionRules(const EditorActionState &state);
