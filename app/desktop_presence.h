#pragma once

#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QTranslator>
#include <memory>

class QApplication;

namespace kavlo {

// The desktop entry's id: Wayland ties the windows to the entry and its icon by it.
constexpr const char* kDesktopEntryId = "com.fernwick.Kavlo";

// Qt's own translation (file and print dialogs, standard buttons) for `locale`: Japanese, the
// program's own language, when the locale is C or POSIX. Nothing when none is installed.
std::unique_ptr<QTranslator> qtTranslation(const QLocale& locale);

// `font` when its Latin letters are proportional; else the same size in a proportional face
// that holds Japanese too (where IPAGothic is the sans-serif, widgets' Latin looks typed).
QFont proportionalUiFont(const QFont& font);

// The installed theme icon where the package put it, else the program's own copy (run from its
// build folder).
QIcon applicationIcon();

// Ties the program to its desktop entry and icon, gives the widgets a proportional face and
// Qt's dialogs the user's language, for as long as `app` lives.
void presentOnDesktop(QApplication& app);

}  // namespace kavlo
