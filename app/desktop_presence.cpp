#include "desktop_presence.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QIcon>
#include <QLibraryInfo>

// The icon lives in a static library, whose resources are registered only on request.
static void registerIconResource() {
    Q_INIT_RESOURCE(icon);
}

namespace kavlo {

namespace {

constexpr const char* kProportionalJapaneseFace = "IPAPGothic";

bool latinLooksMonospaced(const QFont& font) {
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance("iiii") == metrics.horizontalAdvance("WWWW");
}

}  // namespace

QIcon applicationIcon() {
    registerIconResource();
    QIcon ownCopy;
    for (const char* size : {"48", "128", "256"}) {
        ownCopy.addFile(QString(":/icon/%1.png").arg(size));
    }
    return QIcon::fromTheme(kDesktopEntryId, ownCopy);
}

std::unique_ptr<QTranslator> qtTranslation(const QLocale& locale) {
    const bool posix = locale.language() == QLocale::C;
    const QLocale language = posix ? QLocale(QLocale::Japanese, QLocale::Japan) : locale;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(language, "qt", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    return translator;
}

QFont proportionalUiFont(const QFont& font) {
    if (!latinLooksMonospaced(font)) {
        return font;
    }
    QFont proportional = font;
    proportional.setFamilies({kProportionalJapaneseFace});
    return proportional;
}

void presentOnDesktop(QApplication& app) {
    QGuiApplication::setDesktopFileName(kDesktopEntryId);
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setFont(proportionalUiFont(QApplication::font()));
    if (auto translator = qtTranslation(QLocale::system())) {
        translator->setParent(&app);
        QCoreApplication::installTranslator(translator.release());
    }
}

}  // namespace kavlo
