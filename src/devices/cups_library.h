#pragma once

#include <cups/cups.h>

#include <string>

namespace kavlo {

// The CUPS calls a print job makes, from libcups loaded for the job. Linked in, libcups and the
// score of libraries it brings would load with every start of the program, printing or not.
class CupsLibrary {
  public:
    CupsLibrary();
    ~CupsLibrary();
    CupsLibrary(const CupsLibrary&) = delete;
    CupsLibrary& operator=(const CupsLibrary&) = delete;

    // False when libcups could not be loaded; `error()` then says why.
    bool loaded() const { return lastErrorString != nullptr; }
    const std::string& error() const { return error_; }

    decltype(&::cupsCreateJob) createJob = nullptr;
    decltype(&::cupsStartDocument) startDocument = nullptr;
    decltype(&::cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&::cupsFinishDocument) finishDocument = nullptr;
    decltype(&::cupsLastErrorString) lastErrorString = nullptr;

  private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace kavlo
