#include "page_setup_source.h"

#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "core/path_file.h"

namespace kavlo {

std::optional<PageSetup> loadCommandSetup(const std::optional<std::filesystem::path>& home,
                                          const std::optional<std::filesystem::path>& pathFile,
                                          std::string_view verb, std::ostream& err) {
    if (pathFile) {
        auto setup = readPathFile(*pathFile, PageSetup{});
        if (!setup) {
            err << "kavlo " << verb << ": cannot read the path file " << pathFile->string() << "\n";
        }
        return setup;
    }
    const std::filesystem::path folder = applicationFolder(home);
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
