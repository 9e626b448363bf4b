#include "text_decoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace kavlo {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class Iconv {
  public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from);
        }
    }
    ~Iconv() { iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    iconv_t get() const { return handle_; }

  private:
    iconv_t handle_;
};

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<std::uint8_t>(bytes[i]);
        int more = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07u;
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(more)) {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            const auto cc = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0u) != 0x80u) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

namespace {

// Converts `bytes` with iconv. An invalid or truncated sequence becomes `replacement`, or
// fails the whole conversion when there is none.
std::optional<std::string> convert(const char* to, const char* from, std::string_view bytes,
                                   std::optional<std::string_view> replacement,
                                   std::size_t* failedAt = nullptr) {
    Iconv cd(to, from);
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            if (!replacement) {
                if (failedAt) {
                    *failedAt = static_cast<std::size_t>(in - bytes.data());
                }
                return std::nullopt;
            }
            out.append(*replacement);
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
    return *convert("UTF-8", "CP932", bytes, kReplacement);
}

std::optional<std::string> cp932ToUtf8Strictly(std::string_view bytes) {
    return convert("UTF-8", "CP932", bytes, std::nullopt);
}

std::optional<std::string> utf8ToCp932(std::string_view utf8, std::size_t* failedAt) {
    return convert("CP932", "UTF-8", utf8, std::nullopt, failedAt);
}

DecodedText decodeText(std::string_view bytes) {
    std::string_view body = bytes;
    const bool bom = body.starts_with(kUtf8Bom);
    if (bom) {
        body.remove_prefix(kUtf8Bom.size());
    }
    if (isValidUtf8(body)) {
        return {std::string(body), TextEncoding::Utf8, bom};
    }
    return {cp932ToUtf8(body), TextEncoding::Cp932, false};
}

}  // namespace kavlo
