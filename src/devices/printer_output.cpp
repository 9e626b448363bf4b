#include "printer_output.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <optional>

#include "cups_library.h"
#include "page_output.h"

namespace kavlo {
namespace {

// The printer's current paper and printable area, as its driver reports them.
QPageLayout currentLayout(const QPrinterInfo& info) {
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(false);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    // Qt's own default margins would move the page in from the printable area.
    layout.setMargins(layout.minimumMargins());
    return layout;
}

// Long enough for a spooler across a network to answer; a closed port or a socket nobody
// listens at fails at once.
constexpr int kConnectTimeoutMs = 10000;

// Where CUPS is sought ("host:port", or the path of a socket) when nothing answers there.
std::optional<std::string> unreachableServer(const CupsLibrary& cups) {
    if (!cups.loaded()) {
        return std::nullopt;
    }
    const std::string server = cups.server();
    http_t* connection = cups.connect(server.c_str(), cups.port(), nullptr, AF_UNSPEC,
                                      cups.encryption(), 1, kConnectTimeoutMs, nullptr);
    if (connection != nullptr) {
        cups.close(connection);
        return std::nullopt;
    }
    return QDir::isAbsolutePath(QString::fromStdString(server))
               ? server
               : server + ":" + std::to_string(cups.port());
}

PrintResult unreachable(PrintResult result, std::string server) {
    result.status = PrintStatus::NoService;
    result.reason = std::move(server);
    return result;
}

PrintResult refused(PrintResult result, const CupsLibrary& cups) {
    if (auto server = unreachableServer(cups)) {
        return unreachable(std::move(result), std::move(*server));
    }
    result.status = PrintStatus::Refused;
    result.reason = cups.loaded() ? cups.lastErrorString() : cups.error();
    return result;
}

// Hands the document to CUPS in one job. Qt's own CUPS engine drops CUPS's answer, so the job
// goes through libcups, which tells why a job was refused.
PrintResult submit(PrintResult result, const QByteArray& pdf) {
    const CupsLibrary cups;
    if (!cups.loaded()) {
        return refused(std::move(result), cups);
    }
    const char* queue = result.printer.c_str();
    result.jobId = cups.createJob(CUPS_HTTP_DEFAULT, queue, "Kavlo", 0, nullptr);
    if (result.jobId == 0) {
        return refused(std::move(result), cups);
    }
    if (cups.startDocument(CUPS_HTTP_DEFAULT, queue, result.jobId, "page", CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        return refused(std::move(result), cups);
    }
    const bool written =
        cups.writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                              static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
    if (cups.finishDocument(CUPS_HTTP_DEFAULT, queue) != IPP_STATUS_OK || !written) {
        return refused(std::move(result), cups);
    }
    result.status = PrintStatus::Accepted;
    return result;
}

}  // namespace

QByteArray renderPdfPage(const QPageLayout& layout, int dpi, const PaintPage& paint) {
    // Built in memory: the document goes to CUPS, not into a file.
    QByteArray pdf;
    const bool drawn = drawPdfDocument(layout, dpi, appendingTo(pdf), 1,
                                       [&](int, DrawSurface& surface) { paint(surface, dpi); });
    return drawn ? pdf : QByteArray();
}

PrintResult printPage(const std::string& printerName, const PaintPage& paint) {
    PrintResult result;
    result.printer = printerName;
    const QPrinterInfo info = printerName.empty()
                                  ? QPrinterInfo::defaultPrinter()
                                  : QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull()) {
        // Qt finds no printer whether there is none or no spooler to ask.
        if (auto server = unreachableServer(CupsLibrary())) {
            return unreachable(std::move(result), std::move(*server));
        }
        result.status = printerName.empty() ? PrintStatus::NoPrinter : PrintStatus::UnknownPrinter;
        return result;
    }
    result.printer = info.printerName().toStdString();
    const QByteArray pdf = renderPdfPage(currentLayout(info), kPrintDpi, paint);
    if (pdf.isEmpty()) {
        result.status = PrintStatus::Refused;
        result.reason = "ページを描けません。";
        return result;
    }
    return submit(std::move(result), pdf);
}

std::filesystem::path printFallbackPath(const std::filesystem::path& folder,
                                        const QDateTime& when) {
    return folder / ("print-" + when.toString("yyyyMMdd-HHmmss").toStdString() + ".pdf");
}

std::string printFailureText(const PrintResult& result) {
    switch (result.status) {
        case PrintStatus::Accepted:
            break;
        case PrintStatus::NoService:
            return "印刷サービス (CUPS) " + result.reason + " に接続できません。";
        case PrintStatus::NoPrinter:
            return "プリンタがありません。";
        case PrintStatus::UnknownPrinter:
            return "プリンタ " + result.printer + " はありません。";
        case PrintStatus::Refused:
            return "プリンタ " + result.printer + " が印刷を受け付けませんでした: " + result.reason;
    }
    return {};
}

}  // namespace kavlo
