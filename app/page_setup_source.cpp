#include "page_setup_source.h"

#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "core/path_file.h"
#include "core/path_relocation.h"
#include "core/text_file.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

// The names are kept even when found nowhere, so that the drawing names those files in its
// messages and the exit status counts their slots.
std::optional<PageSetup> readRelocated(const std::filesystem::path& pathFile, std::string_view verb,
                                       std::ostream& err, std::string_view page) {
    auto loaded = readRelocatedPathFile(pathFile, PageSetup{});
    if (!loaded) {
        return std::nullopt;
    }
    for (const std::string& line : splitLines(relocationText(loaded->report))) {
        err << "kavlo " << verb << ": " << page << terminalText(line) << "\n";
    }
    return std::move(loaded->setup);
}

}  // namespace

bool SetupSource::take(std::string_view option, const std::string& value) {
    if (option == "--home") {
        home = value;
    } else if (option == "--pth") {
        pathFile = value;
    } else {
        return false;
    }
    return true;
}

std::optional<PageSetup> loadCommandSetup(const SetupSource& source, std::string_view verb,
                                          std::ostream& err, std::string_view page) {
    const std::filesystem::path folder = applicationFolder(source.home);
    // The samples stand only for a path file that is not there, never for one that fails.
    if (source.pathFile || holdsPathFile(folder)) {
        const std::filesystem::path pathFile = source.pathFile.value_or(folder / kPathFileName);
        auto setup = readRelocated(pathFile, verb, err, page);
        if (!setup) {
            err << "kavlo " << verb << ": " << page << "cannot read the path file "
                << terminalText(pathFile.string()) << "\n";
        }
        return setup;
    }
    if (!seedApplicationFolder(folder)) {
        err << "kavlo " << verb << ": cannot create the application folder "
            << terminalText(folder.string()) << "\n";
        return std::nullopt;
    }
    return sampleSetup(folder.string());
}

}  // namespace kavlo
