#include "cardlist/CardGridColumns.h"

namespace CardGridColumns {

QList<DataGridColumn> columns()
{
    auto bound = [](const char16_t *field, const char16_t *title, int width = -1) {
        DataGridColumn column;
        column.fieldName = QString::fromUtf16(field);
        column.title = QString::fromUtf16(title);
        column.width = width;
        return column;
    };
    auto unbound = [](const char16_t *title, int width = -1) {
        DataGridColumn column;
        column.title = QString::fromUtf16(title);
        column.width = width;
        return column;
    };

    DataGridColumn sex = bound(u"SEX", u"Пол");
    sex.alignment = Qt::AlignHCenter;
    sex.keyList = {{QStringLiteral("1"), QStringLiteral("муж")},
                   {QStringLiteral("0"), QStringLiteral("жен")}};

    QList<DataGridColumn> result{
        bound(u"FIO", u"ФИО", 150),
        bound(u"DATA_BORN", u"Дата рождения"),
        sex,
        bound(u"GRAGDANSTVO", u"Гражданство", 150),
        bound(u"PASSPORT_SER", u"Паспорт|серия", 100),
        bound(u"PASSPORT_NUMBER", u"Паспорт|номер", 100),
        bound(u"PASSPORD_WHEN", u"Паспорт|дата выдачи", 100),
        bound(u"PASSPORT_WHERE", u"Паспорт|кем выдан", 100),
        unbound(u"Пересечение границы"),
        unbound(u"Первичная регистрация|норма"),
        unbound(u"Первичная регистрация|вьезд-выезд", 79),
        unbound(u"Пропуск|с"),
        unbound(u"Пропуск|по"),
        unbound(u"Пропуск|с"),
        unbound(u"Пропуск|по"),
        unbound(u"Регистрация|90 дней|c"),
        unbound(u"Регистрация|90 дней|по"),
        unbound(u"Регистрация|год|с"),
        unbound(u"Регистрация|год|по"),
        unbound(u"Регистрация на работу|сдано"),
        unbound(u"Регистрация на работу|получено"),
        unbound(u"Регистрация на работу|№"),
        unbound(u"Регистрация на работу|Срок действия до"),
        unbound(u"Уведомления|УФМЗ"),
        unbound(u"Уведомления|ЦЗ"),
        unbound(u"Уведомления|ИФНС"),
    };
    return result;
}

} // namespace CardGridColumns
