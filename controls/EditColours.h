#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// The card index's edits have their own colours, used where the skin sets no others: dark grey
// text (red, green and blue 65) on white.
inline void useEditColours(QWidget *edit)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, QColor(65, 65, 65));
    palette.setColor(QPalette::Base, Qt::white);
    edit->setPalette(palette);
}
