// Text decoding on any bytes: the result is always UTF-8, and UTF-8 input comes back as it was.
#include <string_view>

#include "core/text_decoding.h"
#include "fuzz_target.h"
#include "invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const auto bytes = fuzz::asBytes(data, size);

    const auto decoded = decodeText(bytes);
    fuzz::require(isValidUtf8(decoded.utf8), "decoded text is UTF-8");
    if (isValidUtf8(bytes)) {
        const bool bom = bytes.starts_with(kBom);
        fuzz::require(decoded.encoding == TextEncoding::Utf8, "UTF-8 is taken as UTF-8");
        fuzz::require(decoded.hadBom == bom, "the byte-order mark is noticed");
        fuzz::require(decoded.utf8 == bytes.substr(bom ? kBom.size() : 0),
                      "UTF-8 keeps its bytes after the mark");
    } else {
        fuzz::require(decoded.encoding == TextEncoding::Cp932, "anything else is CP932");
    }
    fuzz::require(isValidUtf8(cp932ToUtf8(bytes)), "CP932 decodes to UTF-8");
    return 0;
}
