#include "mainwindow/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>

namespace Skin {

namespace {

// A Tahoma work-alike that fontconfig does not index on Debian; the forms were laid out for
// Tahoma's metrics, so it is worth loading when the system has no Tahoma of its own.
constexpr auto TahomaWorkAlike = u"/usr/share/wine/fonts/tahoma.ttf";

void useTahoma()
{
    const QString family = QStringLiteral("Tahoma");
    if (!QFontDatabase::hasFamily(family) && QFile::exists(QString::fromUtf16(TahomaWorkAlike)))
        QFontDatabase::addApplicationFont(QString::fromUtf16(TahomaWorkAlike));
    // Without Tahoma, fontconfig's substitute serves; the size is what keeps the layout.
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

QString styleSheet()
{
    QFile file(QStringLiteral(":/skin/opus.qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Whether QIcon renders SVG files itself at any size. Without the SVG icon engine, QIcon either
// fails or loads the file once as a small bitmap and blurs it when scaled up.
bool svgIconEngineAvailable()
{
    static const bool available
        = QIcon(QStringLiteral(":/icons/kelvora.svg")).actualSize(QSize(64, 64)) == QSize(64, 64);
    return available;
}

} // namespace

QPalette opusPalette()
{
    const QColor windowText(51, 51, 51);
    const QColor button(243, 241, 236);
    const QColor light(Qt::white);
    const QColor dark(158, 153, 143);
    const QColor mid(196, 191, 181);
    const QColor brightText(Qt::white);
    const QColor base(Qt::white);

    QPalette palette(windowText, button, light, dark, mid, EditText, brightText, base, WindowFace);
    palette.setColor(QPalette::Midlight, QColor(248, 247, 243));
    palette.setColor(QPalette::Shadow, QColor(110, 106, 99));
    palette.setColor(QPalette::AlternateBase, QColor(248, 247, 243));
    palette.setColor(QPalette::Highlight, Accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 253, 240));
    palette.setColor(QPalette::ToolTipText, EditText);
    palette.setColor(QPalette::PlaceholderText, QColor(150, 147, 140));
    palette.setColor(QPalette::Link, QColor(62, 92, 126));
    palette.setColor(QPalette::LinkVisited, QColor(98, 82, 124));

    const QColor disabledText(163, 160, 153);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(246, 245, 241));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(176, 183, 191));
    return palette;
}

void applyOpus(QApplication &app)
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(opusPalette());
    useTahoma();
    app.setStyleSheet(styleSheet());
}

QIcon iconFromSvg(const QString &fileName)
{
    QSvgRenderer renderer(fileName);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon icon(QStringView name)
{
    const QString fileName = QString(u":/icons/" + name + u".svg");
    if (!QFile::exists(fileName))
        return {};
    return svgIconEngineAvailable() ? QIcon(fileName) : iconFromSvg(fileName);
}

} // namespace Skin
