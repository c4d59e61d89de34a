#include "mainwindow/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QMdiArea>
#include <QMenuBar>
#include <QPalette>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <QToolBar>

namespace {

const QStringList IconNames
    = {u"person"_qs, u"group"_qs,   u"door"_qs,     u"plus"_qs,  u"scanner"_qs,
       u"cross"_qs,  u"printer"_qs, u"calendar"_qs, u"close"_qs, u"kelvora"_qs};

// The share of a picture's pixels that are mostly opaque.
double opaqueShare(const QImage &image)
{
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return double(opaque) / (image.width() * image.height());
}

enum class Tint { Red, Green, Grey };

bool hasTint(const QColor &c, Tint tint)
{
    switch (tint) {
    case Tint::Red:
        return c.red() > c.green() + 60 && c.red() > c.blue() + 60;
    case Tint::Green:
        return c.green() > c.red() + 40 && c.green() > c.blue() + 40;
    case Tint::Grey:
        return c.hsvSaturation() < 20;
    }
    return false;
}

// The share of the mostly opaque pixels that have the tint.
double tintShare(const QImage &image, Tint tint)
{
    int opaque = 0;
    int tinted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() <= 128)
                continue;
            ++opaque;
            tinted += hasTint(colour, tint) ? 1 : 0;
        }
    }
    return opaque == 0 ? 0.0 : double(tinted) / opaque;
}

bool tahomaAvailable()
{
    return QFile::exists(u"/usr/share/wine/fonts/tahoma.ttf"_qs);
}

} // namespace

Q_DECLARE_METATYPE(Tint)

class TestSkin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void iconsPaintAtEverySize_data();
    void iconsPaintAtEverySize();
    void iconColours_data();
    void iconColours();
    void unknownIconIsNull();
    void opusSetsStylePaletteAndFont();
    void styleSheetParsesAndPaintsTheMdiArea();
    void barsUseTheirColourAndHeights();
};

void TestSkin::initTestCase()
{
    Skin::applyOpus(*qApp);
}

void TestSkin::init()
{
    // A broken rule in the sheet shows up only as a warning when a widget is polished.
    QTest::failOnWarning(
        QRegularExpression(u"style ?sheet"_qs, QRegularExpression::CaseInsensitiveOption));
}

void TestSkin::iconsPaintAtEverySize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<int>("side");
    for (const QString &name : IconNames) {
        for (const int side : {16, 24, 32}) {
            QTest::addRow("%s %d", qPrintable(name), side) << name << false << side;
            QTest::addRow("%s %d without the icon engine", qPrintable(name), side)
                << name << true << side;
        }
    }
}

void TestSkin::iconsPaintAtEverySize()
{
    QFETCH(QString, name);
    QFETCH(bool, fallback);
    QFETCH(int, side);

    const QIcon icon
        = fallback ? Skin::iconFromSvg(QString(u":/icons/" + name + u".svg")) : Skin::icon(name);
    QVERIFY(!icon.isNull());
    // Full size, not a small bitmap scaled up, and a picture rather than an empty square.
    const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
    QCOMPARE(image.size(), QSize(side, side));
    const double covered = opaqueShare(image);
    QVERIFY2(covered > 0.1, qPrintable(QString::number(covered)));
    QVERIFY2(covered < 0.95, qPrintable(QString::number(covered)));
}

void TestSkin::iconColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("side");
    QTest::addColumn<Tint>("tint");
    for (const int side : {16, 24, 32}) {
        QTest::addRow("red cross %d", side) << u"cross"_qs << side << Tint::Red;
        QTest::addRow("green plus %d", side) << u"plus"_qs << side << Tint::Green;
        QTest::addRow("grey tab close %d", side) << u"close"_qs << side << Tint::Grey;
    }
}

void TestSkin::iconColours()
{
    QFETCH(QString, name);
    QFETCH(int, side);
    QFETCH(Tint, tint);

    const QImage image = Skin::icon(name).pixmap(QSize(side, side), 1.0).toImage();
    const double share = tintShare(image, tint);
    QVERIFY2(share > 0.8, qPrintable(QString::number(share)));
}

void TestSkin::unknownIconIsNull()
{
    QVERIFY(Skin::icon(u"no-such-picture").isNull());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no-such-picture"_qs));
    QVERIFY(Skin::iconFromSvg(u":/icons/no-such-picture.svg"_qs).isNull());
}

void TestSkin::opusSetsStylePaletteAndFont()
{
    // Under a style sheet the application's style wraps, and owns, the style it was given.
    const QStyle *style = QApplication::style();
    if (style->name().isEmpty())
        style = style->findChild<QStyle *>();
    QVERIFY(style);
    QCOMPARE(style->name(), u"fusion"_qs);

    const QPalette palette = QApplication::palette();
    QCOMPARE(palette.color(QPalette::Active, QPalette::Base), QColor(Qt::white));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(65, 65, 65));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Window), Skin::WindowFace);
    QCOMPARE(palette.color(QPalette::Active, QPalette::Highlight), Skin::Accent);
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), Skin::Accent);
    // Disabled text must stay readable yet differ from enabled text.
    QVERIFY(palette.color(QPalette::Disabled, QPalette::Text)
            != palette.color(QPalette::Active, QPalette::Text));

    const QFont font = QApplication::font();
    QCOMPARE(font.pixelSize(), 11);
    if (tahomaAvailable())
        QCOMPARE(QFontInfo(font).family(), u"Tahoma"_qs);

    // A second call keeps everything as it was.
    Skin::applyOpus(*qApp);
    QCOMPARE(QApplication::palette(), palette);
    QCOMPARE(QApplication::font(), font);
}

void TestSkin::styleSheetParsesAndPaintsTheMdiArea()
{
    QVERIFY(!qApp->styleSheet().isEmpty());

    QMdiArea area;
    area.resize(200, 100);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    // The sheet gives the MDI area a colour of its own, darker than the windows it holds.
    const QColor background = area.background().color();
    QVERIFY(background.lightness() < Skin::WindowFace.lightness());
}

void TestSkin::barsUseTheirColourAndHeights()
{
    QWidget window;
    window.resize(500, 80);
    auto *menuBar = new QMenuBar(&window);
    menuBar->addMenu(u"Файл"_qs);
    menuBar->setGeometry(0, 0, 500, menuBar->sizeHint().height());
    auto *toolBar = new QToolBar(&window);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->addAction(Skin::icon(u"group"), u"Список граждан"_qs);
    toolBar->setGeometry(0, 30, 500, toolBar->sizeHint().height());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The empty part of both bars, right of their items, is the bars' own colour.
    const QImage menuImage = menuBar->grab().toImage();
    QCOMPARE(menuImage.pixelColor(menuImage.width() - 20, menuImage.height() / 2),
             Skin::BarHighlight);
    const QImage toolImage = toolBar->grab().toImage();
    QCOMPARE(toolImage.pixelColor(toolImage.width() - 20, toolImage.height() / 2),
             Skin::BarHighlight);

    // The forms were laid out for a 24-pixel menu bar and a 26-pixel tool bar.
    if (!tahomaAvailable())
        QSKIP("The bar heights follow Tahoma's metrics");
    QCOMPARE(menuBar->sizeHint().height(), 24);
    QCOMPARE(toolBar->sizeHint().height(), 26);
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
