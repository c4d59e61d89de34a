#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

// The marker a column title carries; the grid never sets one by itself.
enum class SortMarker { None, Down, Up };

// One column of a DataGrid as its window defines it.
struct DataGridColumn
{
    QString fieldName; // empty: bound to no field, its cells are always empty
    QString title; // levels separated by '|', the top level first
    int width = -1; // pixels; -1 takes the default rule (the field's display width)
    std::optional<Qt::Alignment> alignment; // unset: the field's own alignment
    // Non-empty: the cell shows the text paired with the stored value's text; a value that is
    // empty or has no pair shows nothing.
    QList<std::pair<QString, QString>> keyList;
    bool verticalTitle = false; // the title written bottom to top
    bool visible = true;
    SortMarker sortMarker = SortMarker::None;
};
