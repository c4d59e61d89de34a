#pragma once

#include "controls/DataGridColumn.h"

#include <QList>

// The card grid's 26 columns. Column 0, the full name, belongs to both column sets; columns 1 to
// 7 are the personal set, 8 to 25 the work set, whose columns are bound to no field yet.
namespace CardGridColumns {

constexpr int Count = 26;
constexpr int FirstPersonal = 1;
constexpr int LastPersonal = 7;
constexpr int FirstWork = 8;
constexpr int LastWork = 25;

QList<DataGridColumn> columns();

} // namespace CardGridColumns
