#include "edited_text.h"

#include <algorithm>
#include <array>

namespace kavlo {
namespace {

std::string_view endText(LineEnd end) {
    switch (end) {
        case LineEnd::CrLf:
            return "\r\n";
        case LineEnd::Lf:
            return "\n";
        case LineEnd::Cr:
            return "\r";
        case LineEnd::LfCr:
            return "\n\r";
    }
    return "\r\n";
}

struct SplitText {
    std::vector<std::string_view> lines;
    std::vector<LineEnd> ends;
};

// A pair CR LF or LF CR is one line end; a CR or LF on its own is one too.
SplitText splitAtLineEnds(std::string_view text) {
    SplitText split;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        split.lines.push_back(text.substr(start, i - start));
        const bool paired = i + 1 < text.size() && text[i + 1] == (c == '\r' ? '\n' : '\r');
        split.ends.push_back(c == '\r' ? (paired ? LineEnd::CrLf : LineEnd::Cr)
                                       : (paired ? LineEnd::LfCr : LineEnd::Lf));
        i += paired ? 1 : 0;
        start = i + 1;
    }
    if (start < text.size()) {
        split.lines.push_back(text.substr(start));
    }
    return split;
}

// The most common end, CR LF when there is none (or on a tie with it).
LineEnd mostCommon(const std::vector<LineEnd>& ends) {
    std::array<std::size_t, 4> counts{};
    for (LineEnd end : ends) {
        ++counts[static_cast<std::size_t>(end)];
    }
    return static_cast<LineEnd>(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

template <typename Line>
std::string joinLines(const std::vector<Line>& lines, std::size_t size) {
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += '\n';
        }
        text += lines[i];
    }
    return text;
}

// Lines a CP932 round trip would change, found only when the whole text does not come back.
std::vector<TextLayout::KeptLine> linesNotComingBack(std::string_view body, std::string_view utf8) {
    if (utf8ToCp932(utf8) == body) {
        return {};
    }
    const SplitText raw = splitAtLineEnds(body);
    const SplitText decoded = splitAtLineEnds(utf8);
    std::vector<TextLayout::KeptLine> kept;
    for (std::size_t i = 0; i < raw.lines.size() && i < decoded.lines.size(); ++i) {
        if (utf8ToCp932(decoded.lines[i]) != raw.lines[i]) {
            kept.push_back({i, std::string(decoded.lines[i]), std::string(raw.lines[i])});
        }
    }
    return kept;
}

// The editor's lines: every '\n' ends one, so there is always at least one.
std::vector<std::string_view> editorLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// Lines keep the ends of the lines that stood at their places, so after an edit an empty line
// can get an end starting with LF right after a lone CR (or with CR after a lone LF): the two
// would read back as one end and the line would be lost. Such an empty line takes the end of
// the line before it.
void keepEmptyLinesApart(const std::vector<std::string_view>& lines, std::vector<LineEnd>& ends) {
    for (std::size_t i = 1; i < ends.size(); ++i) {
        const LineEnd before = ends[i - 1];
        const bool lone = before == LineEnd::Cr || before == LineEnd::Lf;
        if (lines[i].empty() && lone && endText(ends[i]).front() != endText(before).front()) {
            ends[i] = before;
        }
    }
}

// The first whole UTF-8 character at `offset`.
std::string_view characterAt(std::string_view text, std::size_t offset) {
    std::size_t end = offset + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) {
        ++end;
    }
    return text.substr(offset, end - offset);
}

}  // namespace

OpenedText openText(std::string_view bytes) {
    OpenedText opened;
    std::string_view body = bytes;
    opened.layout.bom = body.starts_with(kUtf8Bom);
    if (opened.layout.bom) {
        body.remove_prefix(kUtf8Bom.size());
    }
    std::string utf8;
    if (isValidUtf8(body)) {
        utf8 = std::string(body);
    } else if (auto cp932 = cp932ToUtf8Strictly(body)) {
        opened.layout.encoding = TextEncoding::Cp932;
        opened.layout.keptLines = linesNotComingBack(body, *cp932);
        utf8 = std::move(*cp932);
    } else {
        opened.layout.encoding = TextEncoding::Cp932;
        utf8 = cp932ToUtf8(body);
        opened.readOnlyReason =
            "UTF-8 でも CP932 でもない文字を含むため、テキストとして保存できません。"
            "読み取り専用で開きます。";
    }
    if (utf8.find('\0') != std::string::npos) {
        opened.readOnlyReason =
            "NUL 文字を含むため、テキストとして保存できません。読み取り専用で開きます。";
    }
    SplitText split = splitAtLineEnds(utf8);
    opened.layout.finalLineEnd = split.ends.size() == split.lines.size() && !split.ends.empty();
    opened.layout.newLineEnd = mostCommon(split.ends);
    opened.layout.lineEnds = std::move(split.ends);
    opened.lineCount = split.lines.size();
    opened.text = joinLines(split.lines, utf8.size());
    return opened;
}

OpenedText openTextFile(const std::filesystem::path& path) {
    FileBytes file = readBoundedFile(path, DataFileKind::EditedText);
    if (file.access != FileAccess::Ok) {
        OpenedText failed;
        failed.access = file.access;
        return failed;
    }
    return openText(file.bytes);
}

bool keepFirstLines(OpenedText& opened, std::size_t lines) {
    if (opened.lineCount <= lines) {
        return false;
    }
    std::size_t end = 0;
    for (std::size_t k = 0; k < lines; ++k) {
        end = opened.text.find('\n', end) + 1;
    }
    opened.text.resize(end == 0 ? 0 : end - 1);
    opened.lineCount = lines;
    opened.layout.lineEnds.resize(lines);
    opened.layout.finalLineEnd = lines > 0;
    std::erase_if(opened.layout.keptLines,
                  [lines](const TextLayout::KeptLine& kept) { return kept.index >= lines; });
    return true;
}

void convertLineEndsToCrLf(TextLayout& layout) {
    std::fill(layout.lineEnds.begin(), layout.lineEnds.end(), LineEnd::CrLf);
    layout.newLineEnd = LineEnd::CrLf;
}

std::string withCrLfLineEnds(std::string_view raw) {
    const SplitText split = splitAtLineEnds(raw);
    const bool finalEnd = !split.ends.empty() && split.ends.size() == split.lines.size();
    std::string text;
    text.reserve(raw.size() + split.lines.size());
    for (std::size_t i = 0; i < split.lines.size(); ++i) {
        text += split.lines[i];
        if (i + 1 < split.lines.size() || finalEnd) {
            text += "\r\n";
        }
    }
    return text;
}

EncodedText encodeText(std::string_view text, const TextLayout& layout) {
    const std::vector<std::string_view> lines = editorLines(text);
    // An empty text is no line at all unless the file had a line end (one empty line).
    const std::size_t count = text.empty() && layout.lineEnds.empty() ? 0 : lines.size();
    EncodedText encoded;
    TextLayout& written = encoded.layout;
    written.encoding = layout.encoding;
    // A text that starts with U+FEFF keeps it only behind a byte-order mark: a file starting
    // with those bytes reads them as the mark.
    written.bom =
        layout.bom || (layout.encoding == TextEncoding::Utf8 && text.starts_with(kUtf8Bom));
    written.finalLineEnd = count > 0 && layout.finalLineEnd;
    for (std::size_t i = 0; i < count && (i + 1 < count || layout.finalLineEnd); ++i) {
        written.lineEnds.push_back(i < layout.lineEnds.size() ? layout.lineEnds[i]
                                                              : layout.newLineEnd);
    }
    keepEmptyLinesApart(lines, written.lineEnds);
    written.newLineEnd = mostCommon(written.lineEnds);
    auto endAfter = [&](std::size_t i) {
        return i < written.lineEnds.size() ? endText(written.lineEnds[i]) : std::string_view();
    };

    if (written.bom) {
        encoded.bytes = kUtf8Bom;
    }
    if (layout.encoding == TextEncoding::Utf8) {
        encoded.bytes.reserve(text.size() + 2 * count + kUtf8Bom.size());
        for (std::size_t i = 0; i < count; ++i) {
            encoded.bytes += lines[i];
            encoded.bytes += endAfter(i);
        }
        return encoded;
    }
    // CP932: runs of lines convert in one go; an unedited kept line is its own bytes.
    std::string run;
    std::vector<std::size_t> runLineStarts;  // offsets in `run`
    std::size_t runStart = 0;                // index of the run's first line
    auto flush = [&](std::size_t next) {
        std::size_t failedAt = 0;
        const auto bytes = utf8ToCp932(run, &failedAt);
        if (!bytes) {
            const auto within =
                std::upper_bound(runLineStarts.begin(), runLineStarts.end(), failedAt) -
                runLineStarts.begin() - 1;
            const std::size_t line = runStart + static_cast<std::size_t>(within);
            encoded.problem = std::to_string(line + 1) + " 行目の文字「" +
                              std::string(characterAt(run, failedAt)) +
                              "」はこのファイルの文字コード (CP932) では保存できません。"
                              "保存しませんでした。";
            encoded.bytes.clear();
            return false;
        }
        encoded.bytes += *bytes;
        run.clear();
        runLineStarts.clear();
        runStart = next;
        return true;
    };
    auto kept = layout.keptLines.begin();
    for (std::size_t i = 0; i < count; ++i) {
        while (kept != layout.keptLines.end() && kept->index < i) {
            ++kept;
        }
        if (kept != layout.keptLines.end() && kept->index == i && kept->text == lines[i]) {
            if (!flush(i + 1)) {
                return encoded;
            }
            encoded.bytes += kept->bytes;
            encoded.bytes += endAfter(i);
            written.keptLines.push_back(*kept);
            continue;
        }
        runLineStarts.push_back(run.size());
        run += lines[i];
        run += endAfter(i);
    }
    flush(count);
    return encoded;
}

}  // namespace kavlo
