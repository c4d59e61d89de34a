#pragma once

#include <QString>
#include <QStringView>

class MemTable;

// The card table: one row per person. Its fields, their full-name text and the demo persons that
// fill it at start-up.
namespace CardTable {

constexpr int DemoPersonCount = 10001;

// The fifteen fields in their order, with types, sizes and display widths. The field objects are
// named after the table's objectName and the field (PASSPORD_WHEN's object keeps its old name,
// PASSWORD_WHEN). FIO is calculated: give it a get-text handler.
void defineFields(MemTable &table);

// The full name as the card index shows it: the three parts trimmed of codes 0 to 32 and joined
// by single spaces, which are written also where a part is empty.
QString fullName(QStringView family, QStringView name, QStringView secName);

// Appends the demo persons: ID from 1, surnames Иванова/Иванов for the first 500 and
// Петрова/Петров after (feminine for even indexes), name "№", patronymic the index, birth dates
// day by day from 1 January 1960, sex the index modulo 2, and the four countries in turn.
void populate(MemTable &table, int count = DemoPersonCount);

} // namespace CardTable
