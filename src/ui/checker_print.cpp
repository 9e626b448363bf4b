#include "checker_print.h"

#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>

namespace kavlo {

QString printStamp(const QDateTime& when, const QString& path) {
    return when.toString("yyyy/MM/dd   hh:mm:ss") + QString(11, ' ') + path + "\n\n";
}

QString printStampedText(QPrinter& printer, const QString& stamp, const QString& text,
                         const QFont& face) {
    // A document of its own, so that the editor's text and undo history stay as they are.
    QTextDocument document;
    document.setDefaultFont(face);
    document.setUndoRedoEnabled(false);
    // Laid out on the printable area at screen resolution, the document prints without the page
    // numbers QTextDocument adds to documents it paginates itself.
    constexpr double kLayoutDpi = 96.0;
    document.setPageSize(printer.pageLayout().paintRect(QPageLayout::Point).size() *
                         (kLayoutDpi / 72.0));
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(stamp, bold);
    cursor.insertText(text, QTextCharFormat());
    document.print(&printer);
    if (printer.printerState() != QPrinter::Error) {
        return {};
    }
    const QString where =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return "印刷できませんでした (" + where + ")。";
}

}  // namespace kavlo
