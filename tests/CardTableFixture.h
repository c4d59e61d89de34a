#pragma once

#include "carddata/CardFilter.h"
#include "carddata/CardTable.h"
#include "carddata/DataSource.h"
#include "carddata/MemTable.h"

#include <memory>

// The card table as the main window sets it up, for the tests and the benchmark: its fields, the
// full-name text (counted as it is asked for), the demo persons, and the card filter behind the
// filter hook with the filter's inputs settable.
struct CardTableFixture
{
    explicit CardTableFixture(int persons = CardTable::DemoPersonCount)
    {
        table.setObjectName(QStringLiteral("TblCardList"));
        CardTable::defineFields(table);
        MemField *family = table.fieldByName(u"FAMILY");
        MemField *name = table.fieldByName(u"NAME");
        MemField *secName = table.fieldByName(u"SEC_NAME");
        table.fieldByName(u"FIO")->setOnGetText([=, this](MemField &, QString &text, bool) {
            ++fullNameTexts;
            text = CardTable::fullName(family->asStringView(), name->asStringView(),
                                       secName->asStringView());
        });
        CardTable::populate(table, persons);
        record = std::make_unique<CardRecord>(table);
        table.setOnFilterRecord([this](MemTable &, bool &accept) {
            ++filterCalls;
            accept = filter.accepts(*record);
        });
        QObject::connect(&table, &MemTable::filterPassStarting,
                         [this] { filter = CardFilter(inputs); });
        source.setDataSet(&table);
    }

    // What the card list window's ApplyFilters does: filtering off and on again.
    int applyFilters(const CardFilterInputs &newInputs)
    {
        inputs = newInputs;
        table.setFiltered(false);
        table.setFiltered(true);
        return table.rowCount();
    }

    // The display text of a field in a shown row.
    QString text(int row, QStringView fieldName) const
    {
        MemTable::ActiveRecord active(table, row);
        return table.fieldByName(fieldName)->displayText();
    }

    MemTable table;
    DataSource source;
    std::unique_ptr<CardRecord> record;
    CardFilterInputs inputs;
    CardFilter filter;
    int filterCalls = 0;
    int fullNameTexts = 0;
};
