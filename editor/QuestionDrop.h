#pragma once

#include "MimeFormats.h"

struct InspectionTest;

// What a question dragged onto a question of the examination tree does: the
// rule that accepts it and the change it makes to the test. Needs no window.
class QuestionDrop
{
public:
    // Where over the target row the cursor is: within 2 px of its middle, or above or below that.
    enum Edge { Middle, Above, Below };
    static Edge edgeAt(int y, int top, int bottom);

    struct Decision {
        bool accepted = false;
        bool move = false;
        Edge edge = Middle;
    };
    // Questions without kind go only onto null questions, questions with a
    // kind only onto regular ones. A drag from the same test and column of
    // the tree moves at the edges and copies in the middle; one from another
    // test or column copies in the middle; one from elsewhere inserts at the edges.
    static Decision decide(int kind, int targetType, bool fromTree, bool sameColumn, int y, int top, int bottom);

    // The target: a question (index as in the plan) at a row of a presentation.
    QuestionDrop(InspectionTest &test, int group, int row, int theme);

    // The target takes the text and, when the code names one, the kind.
    void overwrite(const MimeFormats::Question &question, bool fromTree);
    // Carries the question at sourceRow to the target's row, within its own
    // block of null or regular questions.
    void move(int sourceRow, Edge edge);
    // A new question at the target's row or below it, appended to the other presentations.
    void insert(const MimeFormats::Question &question, Edge edge);

    // Question texts are single lines: the question formats carry exactly two lines.
    static QString singleLine(const QString &text);

private:
    int rowCount() const;

    InspectionTest &m_test;
    int m_group;
    int m_row;
    int m_theme;
};
