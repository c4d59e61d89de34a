#include "mainwindow/Application.h"

#include "mainwindow/Skin.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Кельвора"));
    app.setApplicationVersion(QStringLiteral("0.0"));
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);

    auto *translator = new QTranslator(&app);
    if (translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    Skin::applyOpus(app);
}
