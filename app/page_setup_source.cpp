#include "page_setup_source.h"

#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "core/path_file.h"

namespace kavlo {

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
                                          std::ostream& err) {
    const auto& pathFile = source.pathFile;
    if (pathFile) {
        auto setup = readPathFile(*pathFile, PageSetup{});
        if (!setup) {
            err << "kavlo " << verb << ": cannot read the path file " << pathFile->string() << "\n";
        }
        return setup;
    }
    const std::filesystem::path folder = applicationFolder(source.home);
    if (auto setup = readPathFile(folder / kPathFileName, PageSetup{})) {
        return setup;
    }
    if (!seedApplicationFolder(folder)) {
        err << "kavlo " << verb << ": cannot create the application folder " << folder.string()
            << "\n";
        return std::nullopt;
    }
    return sampleSetup(folder.string());
}

}  // namespace kavlo
