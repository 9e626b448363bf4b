#include "shared_library.h"

#include <dlfcn.h>

namespace kavlo {

SharedLibrary::SharedLibrary(const char* name) {
    handle_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
        const char* why = ::dlerror();
        error_ = why ? why : name;
    }
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
}

void* SharedLibrary::address(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

}  // namespace kavlo
