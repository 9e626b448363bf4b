#include "comment_wrap.h"

#include <algorithm>
#include <cstddef>

namespace kavlo {
namespace {

// Byte offsets of every character of a UTF-8 text, and of its end.
std::vector<std::size_t> characterStarts(const std::string& utf8) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0u) != 0x80u) {
            starts.push_back(i);
        }
    }
    starts.push_back(utf8.size());
    return starts;
}

}  // namespace

std::vector<std::string> wrapCommentLine(const std::string& line, float width,
                                         const MeasureText& measure) {
    const std::vector<std::size_t> starts = characterStarts(line);
    const std::size_t count = starts.size() - 1;
    if (count == 0) {
        return {""};
    }
    std::vector<std::string> rows;
    std::size_t hint = 1;  // rows of one paragraph tend to be alike: start from the last length
    // The next line feed is found once and kept while rows stay before it, so a paragraph is
    // scanned once however many rows it makes.
    std::size_t feed = 0;
    bool feedKnown = false;
    for (std::size_t first = 0; first < count;) {
        if (!feedKnown || feed < first) {
            feed = first;
            while (feed < count && line[starts[feed]] != '\n') {
                ++feed;
            }
            feedKnown = true;
        }
        const std::size_t limit = std::min(feed + 1, count) - first;
        const auto prefix = [&](std::size_t k) {
            return line.substr(starts[first], starts[first + k] - starts[first]);
        };
        const auto wide = [&](std::size_t k) { return measure(prefix(k)) >= width; };
        // Widths grow with the length, so rather than measure every prefix: gallop from the
        // hint to a bracket (narrow, wide], then halve it. A row that reaches no width ends at
        // the limit.
        std::size_t narrow = 0;
        std::size_t k = limit;
        const std::size_t start = std::min(hint, limit);
        if (start < limit && !wide(start)) {
            narrow = start;
            for (std::size_t step = 1; narrow + step < limit; step *= 2) {
                if (wide(narrow + step)) {
                    k = narrow + step;
                    break;
                }
                narrow += step;
            }
        } else {
            k = start;
            for (std::size_t step = 1; step < k; step *= 2) {
                if (!wide(k - step)) {
                    narrow = k - step;
                    break;
                }
                k -= step;
            }
        }
        while (k - narrow > 1) {
            const std::size_t middle = narrow + (k - narrow) / 2;
            (wide(middle) ? k : narrow) = middle;
        }
        rows.push_back(prefix(k));
        first += k;
        hint = k;
    }
    return rows;
}

}  // namespace kavlo
