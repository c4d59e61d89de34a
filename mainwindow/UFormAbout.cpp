#include "mainwindow/UFormAbout.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
QLabel *label(const QString &text, QWidget *parent, QPoint at, const char *name)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(at);
    l->adjustSize();
    return l;
}
} // namespace

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                  | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , Panel1(new QFrame(this))
    , ProgramIcon(new QLabel(Panel1))
    , ProductName(label(QStringLiteral("Кельвора"), Panel1, {88, 16}, "ProductName"))
    , Version(label(QStringLiteral("Версия 0.0 (Демо)"), Panel1, {88, 40}, "Version"))
    , OKButton(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("О программе ..."));
    setFixedSize(298, 213);

    // A lowered outer bevel around a raised inner one.
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 281, 161);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *inner = new QFrame(Panel1);
    inner->setGeometry(1, 1, 279, 159);
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);
    inner->lower();

    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->hide();
    // Two further labels stay hidden and empty.
    label(QString(), Panel1, {8, 80}, "Label1")->hide();
    QLabel *wrapping = label(QString(), Panel1, {8, 104}, "Label2");
    wrapping->setWordWrap(true);
    wrapping->hide();

    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAbout::keyPressEvent(QKeyEvent *event)
{
    // Escape does not dismiss the box; Enter presses OK as the default button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
