#pragma once

#include "SpravDockWindow.h"

#include <QVector>

// The reference book of questions ("Справочник вопросов"): folders and
// questions of a Russian and an international set, each question with its kind.
class SpravQuestionsDockWindow : public SpravDockWindow
{
    Q_OBJECT
public:
    explicit SpravQuestionsDockWindow(QWidget *parent = nullptr);

    // Adds a question under the current container.
    void addQuest(int kind, const QString &text);
    // Changes the kind of the current question.
    void setCurrentQuestKind(int kind);

    bool acceptsDrop(const QMimeData *data) const override;
    QMimeData *dragData(QStandardItem *item) override;
    void dropData(QStandardItem *target, const QMimeData *data, QStandardItem *source) override;

public slots:
    void action_Copy() override;
    void action_Paste() override;
    void action_EditQuest();
    void action_DeleteQuest();
    void onAddQuestAsP();
    void onAddQuestAsC();
    void onAddQuestAsN();
    void onAddQuestAsNull();
    void onAddQuest_P();
    void onAddQuest_I();
    void onAddQuest_C();
    void onAddQuest_R();
    void onAddQuest_SR();
    void onAddQuest_So();
    void onAddQuest_GC();
    void onMakeQuestAsP();
    void onMakeQuestAsC();
    void onMakeQuestAsN();
    void onMakeQuestAsNull();
    void onMakeQuest_P();
    void onMakeQuest_I();
    void onMakeQuest_C();
    void onMakeQuest_R();
    void onMakeQuest_SR();
    void onMakeQuest_So();
    void onMakeQuest_GC();
    void onSelectedItem(QModelIndex index);

protected:
    SpravDB::Result updateRowText(SpravDB &db, QStandardItem *item, const QString &text) override;
    bool canPaste(const QStandardItem *current) const override;
    void updateOwnActions(const QStandardItem *current) override;
    void addOwnActions(QMenu *menu, const QStandardItem *item) override;
    void modelReplaced(QItemSelectionModel *selection) override;

private:
    // The add and change actions of one kind.
    struct KindActions {
        int kind;
        bool international;
        QAction *add;
        QAction *change;
    };

    void createKindActions();
    // addQuest with the new question text of kind.
    void addQuestOfKind(int kind);
    // Stores a question under container and shows it; false when the book refused it.
    bool insertQuestion(QStandardItem *container, int kind, const QString &text);
    // Stores a new text and kind of a question and shows them.
    bool updateQuestion(QStandardItem *item, int kind, const QString &text);

    QVector<KindActions> m_kinds;
};
