#include "cups_library.h"

#include <dlfcn.h>

namespace kavlo {
namespace {

constexpr const char* kLibrary = "libcups.so.2";

template <typename Function>
Function symbol(void* handle, const char* name) {
    return reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

CupsLibrary::CupsLibrary() {
    // Kept loaded once loaded: libcups keeps per-thread state that outlives a job.
    handle_ = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = why ? why : kLibrary;
        return;
    }
    createJob = symbol<decltype(createJob)>(handle_, "cupsCreateJob");
    startDocument = symbol<decltype(startDocument)>(handle_, "cupsStartDocument");
    writeRequestData = symbol<decltype(writeRequestData)>(handle_, "cupsWriteRequestData");
    finishDocument = symbol<decltype(finishDocument)>(handle_, "cupsFinishDocument");
    if (createJob && startDocument && writeRequestData && finishDocument) {
        lastErrorString = symbol<decltype(lastErrorString)>(handle_, "cupsLastErrorString");
    }
    if (!lastErrorString) {
        error_ = std::string(kLibrary) + " lacks the calls a print job needs";
    }
}

CupsLibrary::~CupsLibrary() {
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

}  // namespace kavlo
