#include "cups_library.h"

namespace kavlo {

CupsLibrary::CupsLibrary() : library_("libcups.so.2") {
    if (!library_.loaded()) {
        error_ = library_.error();
        return;
    }
    createJob = library_.function<decltype(createJob)>("cupsCreateJob");
    startDocument = library_.function<decltype(startDocument)>("cupsStartDocument");
    writeRequestData = library_.function<decltype(writeRequestData)>("cupsWriteRequestData");
    finishDocument = library_.function<decltype(finishDocument)>("cupsFinishDocument");
    server = library_.function<decltype(server)>("cupsServer");
    port = library_.function<decltype(port)>("ippPort");
    encryption = library_.function<decltype(encryption)>("cupsEncryption");
    connect = library_.function<decltype(connect)>("httpConnect2");
    close = library_.function<decltype(close)>("httpClose");
    if (createJob && startDocument && writeRequestData && finishDocument && server && port &&
        encryption && connect && close) {
        lastErrorString = library_.function<decltype(lastErrorString)>("cupsLastErrorString");
    }
    if (!lastErrorString) {
        error_ = "libcups.so.2 lacks the calls a print job needs";
    }
}

}  // namespace kavlo
