#pragma once

#include <QBrush>

// The solid brush of a score's sign: red (198,0,0) below 0, black at 0 and
// green (0,198,0) above. Made on first use, so no brush exists before the
// application does.
const QBrush &signBrush(double score);
