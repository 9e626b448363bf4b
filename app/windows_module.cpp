#include "windows_module.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "core/shared_library.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

constexpr int kModuleMissing = 2;

// Beside the program as the build and the package place it, wherever the program was started
// from.
std::filesystem::path modulePath() {
    std::error_code ignored;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
    return (program.parent_path() / KAVLO_WINDOWS_MODULE).lexically_normal();
}

template <typename Entry, typename Options>
int runInModule(const char* entryName, int& argc, char** argv, const Options& options,
                std::ostream& err, int missingStatus) {
    const std::filesystem::path path = modulePath();
    const SharedLibrary module(path.c_str());
    const auto entry = module.function<Entry>(entryName);
    if (!entry) {
        // The loader's words name the file; a module without the entry is named here.
        err << "kavlo: 画面と印刷の部品を読み込めません。("
            << terminalText(module.error().empty() ? path.string() : module.error()) << ")\n";
        return missingStatus;
    }
    return entry(argc, argv, options, err);
}

}  // namespace

int runWindows(int& argc, char** argv, const GuiOptions& options, std::ostream& err) {
    return runInModule<decltype(&kavloRunWindows)>("kavloRunWindows", argc, argv, options, err,
                                                   kModuleMissing);
}

int runPrintJob(int& argc, char** argv, const PrintOptions& options, std::ostream& err) {
    return runInModule<decltype(&kavloRunPrint)>("kavloRunPrint", argc, argv, options, err,
                                                 kPrintNothingPrinted);
}

}  // namespace kavlo
