#pragma once

#include <QDateTime>
#include <QFont>
#include <QString>

class QPrinter;

namespace kavlo {

// The line printed above the text: date and time, eleven blanks, the file's full path, then
// two line ends.
QString printStamp(const QDateTime& when, const QString& path);

// Prints the stamp in bold, then `text` in `face`, on a printer the caller has set up. An
// empty result means the printer took it; else why not, for the user.
QString printStampedText(QPrinter& printer, const QString& stamp, const QString& text,
                         const QFont& face);

}  // namespace kavlo
