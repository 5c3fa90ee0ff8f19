// The editing operations behind the editor's actions. Each acts on the
// context item; until they are filled in, the actions change nothing.
#include "InspectionEditFancy.h"

void InspectionEditFancy::action_AddTest() {}
void InspectionEditFancy::action_AddGroup() {}
void InspectionEditFancy::action_AddQuest0() {}
void InspectionEditFancy::action_AddQuestN() {}
void InspectionEditFancy::action_AddQuestC() {}
void InspectionEditFancy::action_AddQuestP() {}
void InspectionEditFancy::onAddQuest_USA_P() {}
void InspectionEditFancy::onAddQuest_USA_I() {}
void InspectionEditFancy::onAddQuest_USA_C() {}
void InspectionEditFancy::onAddQuest_USA_R() {}
void InspectionEditFancy::onAddQuest_USA_SR() {}
void InspectionEditFancy::onAddQuest_USA_So() {}
void InspectionEditFancy::onAddQuest_USA_GC() {}
void InspectionEditFancy::action_Copy() {}
void InspectionEditFancy::action_Paste() {}
void InspectionEditFancy::action_DeletePoligramme() {}
void InspectionEditFancy::action_TestTalkYes() {}
void InspectionEditFancy::action_TestTalkNo() {}
void InspectionEditFancy::action_ChangeQuestN() {}
void InspectionEditFancy::action_ChangeQuestP() {}
void InspectionEditFancy::action_ChangeQuestC() {}
void InspectionEditFancy::action_ReorderQuests() {}
void InspectionEditFancy::action_ChangeQuest_UsaP() {}
void InspectionEditFancy::action_ChangeQuest_UsaI() {}
void InspectionEditFancy::action_ChangeQuest_UsaC() {}
void InspectionEditFancy::action_ChangeQuest_UsaR() {}
void InspectionEditFancy::action_ChangeQuest_UsaSR() {}
void InspectionEditFancy::action_ChangeQuest_UsaSo() {}
void InspectionEditFancy::action_ChangeQuest_UsaGC() {}
void InspectionEditFancy::action_AttachPhoto() {}
void InspectionEditFancy::action_ViewPhoto() {}
void InspectionEditFancy::action_DeletePhoto() {}
void InspectionEditFancy::action_ShowQuestToSecontMonitor() {}
void InspectionEditFancy::action_ShowAllQuestionsSecondMonitor() {}
void InspectionEditFancy::action_ShowFileAVI() {}
void InspectionEditFancy::onTestComments() {}
void InspectionEditFancy::onUndo() {}
void InspectionEditFancy::onRedo() {}

// A recorded test is read-only: deleting its questions would leave its marks
// pointing at other questions.
Inspection::_Test *InspectionEditFancy::editableTest()
{
    Inspection::_Test *test = testOf(m_contextIndex);
    return test && !test->recorded ? test : nullptr;
}

void InspectionEditFancy::action_Delete()
{
    if (!editableTest())
        return;
}

void InspectionEditFancy::action_DeleteGroup()
{
    if (!editableTest())
        return;
}
