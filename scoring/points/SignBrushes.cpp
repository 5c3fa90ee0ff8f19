#include "SignBrushes.h"

const QBrush &signBrush(double score)
{
    static const QBrush negative(QColor(198, 0, 0));
    static const QBrush zero(QColor(0, 0, 0));
    static const QBrush positive(QColor(0, 198, 0));
    if (score < 0)
        return negative;
    return score > 0 ? positive : zero;
}
