#pragma once

#include <QAbstractItemView>
#include <QComboBox>

// A drop-down list (no free text) that says when its list closes, whether or not the choice
// changed: the card list's citizenship filter waits for that, not for keyboard changes made
// while the list is closed.
class DropDownList final : public QComboBox
{
    Q_OBJECT

public:
    explicit DropDownList(QWidget *parent = nullptr)
        : QComboBox(parent)
    {
        setEditable(false);
    }

    void hidePopup() override
    {
        const bool wasShown = view() && view()->isVisible();
        QComboBox::hidePopup();
        if (wasShown)
            Q_EMIT closeUp();
    }

Q_SIGNALS:
    void closeUp();
};
