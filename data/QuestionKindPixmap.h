#pragma once

#include <QPixmap>

// The picture of the actions that add a question of a kind: the common
// background with the kind's letter centred in the application font at twice its size.
QPixmap addQuestionPixmap(int kind);
