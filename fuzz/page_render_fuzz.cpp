// A whole page from any format, numeric and comment bytes on every output device: the page is
// drawn or refused with a message, never a crash, and what is written is a file other programs
// read: a well-formed SVG, an EMF whose records agree with its header, a PDF poppler opens
// without complaint, a PNG Qt loads.
//
// Input: one byte choosing the device, then the format, numeric and comment files' bytes,
// separated by a line "%%".
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>
#include <QGuiApplication>
#include <QImage>
#include <QXmlStreamReader>
#include <fstream>
#include <iterator>
#include <string>

#include "core/messages.h"
#include "core/text_decoding.h"
#include "devices/output_device.h"
#include "emf_checks.h"
#include "fuzz_target.h"
#include "invariant.h"
#include "scratch_folder.h"

namespace {

constexpr std::string_view kSeparator = "\n%%\n";

// Fonts and images need an application; libFuzzer never returns from its loop, so it stays.
void ensureApplication() {
    static QGuiApplication* application = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "kavlo_fuzz_page_render";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
}

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The next part up to the separator (or the end); the rest stays in `input`.
std::string_view nextPart(std::string_view& input) {
    const std::size_t at = input.find(kSeparator);
    const std::string_view part = input.substr(0, at);
    input.remove_prefix(at == std::string_view::npos ? input.size() : at + kSeparator.size());
    return part;
}

void requireWellFormedSvg(const std::string& bytes) {
    QXmlStreamReader reader(QByteArray::fromRawData(bytes.data(), static_cast<int>(bytes.size())));
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        std::fprintf(stderr, "SVG: %s at line %lld\n", qPrintable(reader.errorString()),
                     static_cast<long long>(reader.lineNumber()));
    }
    kavlo::fuzz::require(!reader.hasError(), "the SVG is well-formed XML");
}

std::string& popplerComplaints() {
    static std::string complaints;
    return complaints;
}

void requireReadablePdf(const std::string& bytes) {
    static const bool quiet = [] {
        poppler::set_debug_error_function(
            [](const std::string& message, void*) { popplerComplaints() += message + "\n"; },
            nullptr);
        return true;
    }();
    (void)quiet;
    popplerComplaints().clear();
    std::vector<char> data(bytes.begin(), bytes.end());
    std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(data.data(), static_cast<int>(data.size())));
    kavlo::fuzz::require(document != nullptr && !document->is_locked(), "poppler opens the PDF");
    kavlo::fuzz::require(document->pages() == 1, "the PDF has one page");
    std::unique_ptr<poppler::page> page(document->create_page(0));
    kavlo::fuzz::require(page != nullptr, "poppler finds the page");
    poppler::page_renderer renderer;
    const poppler::image image = renderer.render_page(page.get(), 4, 4);
    kavlo::fuzz::require(image.is_valid(), "poppler draws the page");
    if (!popplerComplaints().empty()) {
        std::fprintf(stderr, "poppler: %s", popplerComplaints().c_str());
    }
    kavlo::fuzz::require(popplerComplaints().empty(), "poppler reads the PDF without errors");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    if (size < 1) {
        return 0;
    }
    ensureApplication();
    const auto devices = outputDevices();
    const OutputDevice& device = devices[data[0] % devices.size()];
    std::string_view input = fuzz::asBytes(data + 1, size - 1);
    const auto& scratch = fuzz::scratchFolder();
    const auto format = scratch.write("format.dat", nextPart(input));
    const auto numeric = scratch.write("numeric.dat", nextPart(input));
    const auto comment = scratch.write("comment.txt", nextPart(input));

    PageRequest request;
    request.setup.file(FileKind::Format, 1) = format.string();
    request.setup.file(FileKind::Numeric, 1) = numeric.string();
    request.setup.file(FileKind::Comment, 1) = comment.string();
    request.setup.header.text = "fuzz";

    RecordedMessages messages;
    PageOutcome outcome;
    // The smallest resolutions each device takes: the checks are about structure, not detail.
    const int dpi = device.kind == OutputKind::Printer ? 72 : device.defaultDpi;
    const auto output = scratch.path() / ("page" + std::string(device.extension));
    const WriteResult written = writePageFile({device, dpi, request, messages}, output, outcome);
    for (const auto& message : messages.messages) {
        fuzz::require(isValidUtf8(message.title) && isValidUtf8(message.text),
                      "messages are UTF-8");
    }
    if (!written.ok()) {
        // Refusing a page too large to draw is allowed; failing without a reason is not.
        fuzz::require(isValidUtf8(written.message), "a refusal says why");
        return 0;
    }
    const std::string bytes = contentOf(output);
    switch (device.kind) {
        case OutputKind::Svg:
            requireWellFormedSvg(bytes);
            break;
        case OutputKind::Emf:
            fuzz::requireConsistentEmf(bytes);
            break;
        case OutputKind::Printer:
            requireReadablePdf(bytes);
            break;
        case OutputKind::Screen: {
            const QImage image = QImage::fromData(
                QByteArray::fromRawData(bytes.data(), static_cast<int>(bytes.size())), "PNG");
            fuzz::require(!image.isNull(), "Qt loads the PNG");
            break;
        }
    }
    return 0;
}
