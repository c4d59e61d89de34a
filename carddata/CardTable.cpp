#include "carddata/CardTable.h"

#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "carddata/TextRules.h"

#include <array>

namespace CardTable {

void defineFields(MemTable &table)
{
    struct Definition
    {
        const char16_t *name;
        FieldType type;
        int size;
        int displayWidth;
    };
    static constexpr std::array<Definition, 15> definitions{{
        {u"ID", FieldType::Integer, 0, 10},
        {u"FAMILY", FieldType::Text, 150, 150},
        {u"NAME", FieldType::Text, 150, 150},
        {u"SEC_NAME", FieldType::Text, 150, 150},
        {u"DATA_BORN", FieldType::Date, 0, 10},
        {u"SEX", FieldType::Integer, 0, 10},
        {u"GRAGDANSTVO", FieldType::Text, 100, 100},
        {u"PASSPORT_SER", FieldType::Text, 50, 50},
        {u"PASSPORT_NUMBER", FieldType::Text, 100, 100},
        {u"PASSPORD_WHEN", FieldType::Date, 0, 13},
        {u"PASSPORT_WHERE", FieldType::Text, 250, 250},
        {u"FIO", FieldType::CalculatedText, 250, 0},
        {u"BOUNDARY_WHEN", FieldType::Date, 0, 0},
        {u"PRIMARY_REG_WHEN", FieldType::Date, 0, 0},
        {u"PRIMARY_REG_IN_OUT", FieldType::Date, 0, 0},
    }};
    for (const Definition &d : definitions) {
        const QString name = QString::fromUtf16(d.name);
        MemField *field = table.addField(name, d.type, d.size, d.displayWidth);
        field->setObjectName(table.objectName()
                             + (name == u"PASSPORD_WHEN" ? QStringLiteral("PASSWORD_WHEN") : name));
    }
}

QString fullName(QStringView family, QStringView name, QStringView secName)
{
    return TextRules::trimmed(family) + u' ' + TextRules::trimmed(name) + u' '
        + TextRules::trimmed(secName);
}

void populate(MemTable &table, int count)
{
    MemField *id = table.fieldByName(u"ID");
    MemField *family = table.fieldByName(u"FAMILY");
    MemField *name = table.fieldByName(u"NAME");
    MemField *secName = table.fieldByName(u"SEC_NAME");
    MemField *dataBorn = table.fieldByName(u"DATA_BORN");
    MemField *sex = table.fieldByName(u"SEX");
    MemField *citizenship = table.fieldByName(u"GRAGDANSTVO");
    Q_ASSERT(id && family && name && secName && dataBorn && sex && citizenship);

    static constexpr std::array<QStringView, 4> countries{u"Россия", u"Украина", u"Узбекистан",
                                                          u"Молдова"};
    const int firstBirthDay = DayNumber::fromDate(QDate(1960, 1, 1));

    table.reserve(table.totalRowCount() + count);
    for (int index = 0; index < count; ++index) {
        const QStringView base = index < 500 ? QStringView(u"Иванов") : QStringView(u"Петров");
        table.append();
        id->setAsInteger(index + 1);
        if (index % 2 == 0)
            family->setAsString(QString(base + u'а'));
        else
            family->setAsString(base);
        name->setAsString(u"№");
        secName->setAsString(QString::number(index));
        dataBorn->setAsDate(firstBirthDay + index);
        sex->setAsInteger(index % 2);
        citizenship->setAsString(countries[static_cast<size_t>(index % 4)]);
        table.post();
    }
    table.squeeze();
}

} // namespace CardTable
