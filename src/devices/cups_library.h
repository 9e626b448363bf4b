#pragma once

#include <cups/cups.h>

#include <string>

#include "core/shared_library.h"

namespace kavlo {

// The CUPS calls a print job makes, from libcups loaded for the job. Linked in, libcups and the
// score of libraries it brings would load with every start of the program, printing or not.
class CupsLibrary {
  public:
    CupsLibrary();

    // False when libcups could not be loaded; `error()` then says why.
    bool loaded() const { return lastErrorString != nullptr; }
    const std::string& error() const { return error_; }

    decltype(&::cupsCreateJob) createJob = nullptr;
    decltype(&::cupsStartDocument) startDocument = nullptr;
    decltype(&::cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&::cupsFinishDocument) finishDocument = nullptr;
    // Where the jobs go, for asking whether anything answers there.
    decltype(&::cupsServer) server = nullptr;
    decltype(&::ippPort) port = nullptr;
    decltype(&::cupsEncryption) encryption = nullptr;
    decltype(&::httpConnect2) connect = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsLastErrorString) lastErrorString = nullptr;

  private:
    SharedLibrary library_;
    std::string error_;
};

}  // namespace kavlo
