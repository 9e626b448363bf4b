#pragma once

#include <string>

namespace kavlo {

// A shared library loaded when it is needed rather than linked in, so that the program starts
// without it (and runs where it is missing). Once loaded it stays for the life of the process:
// libraries such as libcups keep per-thread state that outlives any one use.
class SharedLibrary {
  public:
    explicit SharedLibrary(const char* name);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // False when the library could not be loaded; `error()` then says why.
    bool loaded() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }

    // The named function, or null when the library or the function is missing.
    template <typename Function>
    Function function(const char* name) const {
        return reinterpret_cast<Function>(address(name));
    }

  private:
    void* address(const char* name) const;

    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace kavlo
