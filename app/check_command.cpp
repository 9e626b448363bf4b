#include "check_command.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "core/decimal_number.h"
#include "core/graph_reader.h"
#include "core/json_text.h"
#include "core/projection.h"
#include "render/device_profile.h"
#include "stream_messages.h"
#include "verb_syntax.h"

namespace kavlo {
namespace {

struct CheckOptions {
    bool json = false;
    int slot = 1;
    double turn = 0;
    double zoom = 0;
    std::optional<float> us;
    std::optional<float> vs;
    std::vector<std::string> files;

    bool movesTheGraph() const { return turn != 0 || zoom != 0 || us || vs; }
};

const VerbSyntax& checkSyntax() {
    static const VerbSyntax syntax{
        .command = "kavlo check",
        .options =
            {
                {"json", "print one JSON object instead of the messages and a summary"},
                {"slot", "slot the graph is read for, 1 to 6 (default 1)", "G"},
                {"turn", "turn steps of the graph (default 0)", "N"},
                {"zoom", "zoom steps of the z axis (default 0)", "N"},
                {"us", "horizontal place of the graph, mm (default 25, in slots 2, 4 and 6 120)",
                 "MM"},
                {"vs", "vertical place of the graph, mm (default 10)", "MM"},
            },
        .operands = {{"FORMAT", "format data file"}, {"[NUMERIC]", "numeric data file"}},
        .examples = {{"kavlo check frmqap1.dat g01.dat",
                      "every message drawing these files in slot 1 would give"},
                     {"kavlo check --json --slot 2 frmqap1.dat g01.dat",
                      "the same read for slot 2, with the corrected values, as JSON"}},
        .dashIsOperand = true};
    return syntax;
}

std::optional<CheckOptions> parseOptions(std::span<const std::string> args, std::ostream& err) {
    const ParsedArguments parsed = parseArguments(checkSyntax(), args);
    CheckOptions options;
    for (const auto& found : parsed.options) {
        // Named copies: clang does not let a lambda capture a structured binding.
        const std::string& arg = found.spelled;
        const std::string& text = found.value;
        const auto number = [&]() -> std::optional<double> {
            const auto value = parseDecimal(text);
            if (!value) {
                err << "kavlo check: " << arg << " takes a number, not '" << terminalText(text)
                    << "'\n";
            }
            return value;
        };
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--slot") {
            const auto value = number();
            if (!value || *value != static_cast<int>(*value) || *value < 1 || *value > 6) {
                if (value) {
                    err << "kavlo check: --slot takes a slot number 1 to 6\n";
                }
                return std::nullopt;
            }
            options.slot = static_cast<int>(*value);
        } else if (arg == "--turn" || arg == "--zoom") {
            const auto value = number();
            if (!value) {
                return std::nullopt;
            }
            (arg == "--turn" ? options.turn : options.zoom) = *value;
        } else {
            const auto value = number();
            if (!value) {
                return std::nullopt;
            }
            const auto mm = static_cast<float>(*value);
            if (!std::isfinite(mm)) {
                err << "kavlo check: " << arg << " takes millimetres a float can hold\n";
                return std::nullopt;
            }
            (arg == "--us" ? options.us : options.vs) = mm;
        }
    }
    if (const auto& misfit = parsed.misfit) {
        err << "kavlo check: "
            << (misfit->kind == Misfit::MissingValue
                    ? misfit->argument + " needs a value"
                    : "unknown option " + terminalText(misfit->argument))
            << "\n";
        return std::nullopt;
    }
    options.files = parsed.operands;
    if (options.files.empty() || options.files.size() > 2) {
        err << "kavlo check: name a format file and, optionally, a numeric file\n";
        return std::nullopt;
    }
    return options;
}

const char* resultName(GraphReadOutcome outcome) {
    switch (outcome) {
        case GraphReadOutcome::Plot:
            return "plot";
        case GraphReadOutcome::FrameOnly:
            return "frame";
        case GraphReadOutcome::Skipped:
            break;
    }
    return "skipped";
}

// Joins "key": value pairs into one JSON object.
class JsonObject {
  public:
    JsonObject& number(const char* key, float value) { return raw(key, jsonFloat(value)); }
    JsonObject& integer(const char* key, int value) { return raw(key, std::to_string(value)); }
    JsonObject& text(const char* key, const std::string& value) {
        return raw(key, jsonString(value));
    }
    JsonObject& raw(const char* key, const std::string& value) {
        body_ << (body_.tellp() > 0 ? ", " : "") << jsonString(key) << ": " << value;
        return *this;
    }
    std::string str() const { return "{" + body_.str() + "}"; }

  private:
    std::ostringstream body_;
};

std::string stateJson(const PlacedGraph& g, const GraphRead& read) {
    JsonObject state;
    if (read.format == FormatReadOutcome::Read) {
        state.number("XWD", g.XWD).number("YWD", g.YWD).number("ZWD", g.ZWD);
        state.number("XSF", g.XSF).number("YSP", g.YSP).number("CSZ", g.CSZ);
        state.integer("FNT", g.FNT).number("FXD", g.FXD).number("FYD", g.FYD);
        state.integer("LWD", g.LWD).integer("IPL", g.IPL).integer("LDR", g.LDR);
        state.number("XNS", g.XNS).integer("XND", g.XND).number("XMN", g.XMN);
        state.number("XMX", g.XMX).number("YNS", g.YNS).integer("YND", g.YND);
        state.number("YMN", g.YMN).number("YMX", g.YMX).number("ZNS", g.ZNS);
        state.integer("ZND", g.ZND).number("ZMN", g.ZMN).number("ZMX", g.ZMX);
        state.number("XLS", g.XLS).text("XLB", g.XLB).number("YLS", g.YLS);
        state.text("YLB", g.YLB).number("ZLS", g.ZLS).text("ZLB", g.ZLB);
        state.text("LabelFont", g.LabelFont).text("CommentFont", g.CommentFont);
        state.number("TopX", g.TopX).number("TopY", g.TopY);
        state.number("OrgX", g.OrgX).number("OrgY", g.OrgY);
        state.number("XEndX", g.XEndX).number("XEndY", g.XEndY);
        state.number("YEndX", g.YEndX).number("YEndY", g.YEndY);
    }
    if (read.numeric == NumericReadOutcome::Read) {
        state.integer("NX", g.NX).integer("NY", g.NY);
        state.number("DataZMin", g.DataZMin).number("DataZMax", g.DataZMax);
    }
    return state.str();
}

// Whether every angle and corner is a number that the finest device (twips) still addresses in
// 32-bit coordinates, and the settled z range is finite: huge offsets, turns or zooms overflow
// them, and a graph out there cannot be drawn.
bool geometryFits(const PlacedGraph& g, const std::optional<float>& zscl) {
    constexpr double kFarthestMm =
        static_cast<double>(std::numeric_limits<std::int32_t>::max()) / kTwipsPerMm;
    const auto onPage = [](float mm) { return std::abs(static_cast<double>(mm)) < kFarthestMm; };
    const float corners[] = {g.TopX, g.TopY, g.OrgX, g.OrgY, g.XEndX, g.XEndY, g.YEndX, g.YEndY};
    return std::isfinite(g.FXD) && std::isfinite(g.FYD) && std::ranges::all_of(corners, onPage) &&
           (!zscl || (std::isfinite(g.ZMN) && std::isfinite(g.ZMX)));
}

std::string messagesJson(const std::vector<Message>& messages) {
    std::string out = "[";
    for (const auto& message : messages) {
        out += (out.size() > 1 ? ", " : "") +
               JsonObject().text("title", message.title).text("text", message.text).str();
    }
    return out + "]";
}

}  // namespace

const char* checkUsage() {
    static const std::string usage = usageLine(checkSyntax());
    return usage.c_str();
}

std::string checkHelp() {
    return helpText(checkSyntax());
}

int runCheck(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto options = parseOptions(args, err);
    if (!options) {
        err << checkUsage();
        return 2;
    }
    const int slot = options->slot;
    const float us = options->us.value_or(slot % 2 == 1 ? 25.0f : 120.0f);
    const float vs = options->vs.value_or(10.0f);

    PlacedGraph g;
    RecordedMessages messages;
    const GraphFiles files{options->files[0], options->files.size() > 1 ? options->files[1] : ""};
    const GraphRead read = readGraph(g, slot, files, us, vs, options->turn, messages, ReadRules{});
    const std::string state = stateJson(g, read);

    GraphReadOutcome outcome = read.outcome;
    std::optional<float> zscl;
    if (outcome == GraphReadOutcome::Plot) {
        zscl = settleZScale(g, options->zoom);
        // With no z scale the plot is left out and the frame drawn alone.
        if (!zscl) {
            outcome = GraphReadOutcome::FrameOnly;
        }
    }

    if (options->movesTheGraph() && read.format == FormatReadOutcome::Read &&
        !geometryFits(g, zscl)) {
        err << "kavlo check: --us, --vs, --turn or --zoom put the graph beyond any page a "
               "device can draw\n"
            << checkUsage();
        return 2;
    }

    if (options->json) {
        JsonObject result;
        result.text("result", resultName(outcome));
        result.raw("messages", messagesJson(messages.messages));
        result.raw("state", state);
        if (zscl) {
            result.raw(
                "plot",
                JsonObject().number("ZMN", g.ZMN).number("ZMX", g.ZMX).number("zscl", *zscl).str());
        }
        out << result.str() << "\n";
    } else {
        StreamMessages told(out);
        for (const auto& message : messages.messages) {
            told.show(message);
        }
        out << resultName(outcome) << ": ";
        if (zscl) {
            out << g.NX << " x " << g.NY << " grid, z from " << g.DataZMin << " to " << g.DataZMax
                << ", drawn from " << g.ZMN << " to " << g.ZMX << "\n";
        } else if (outcome == GraphReadOutcome::FrameOnly) {
            out << (read.outcome == GraphReadOutcome::Plot
                        ? "the z range is empty after zooming; frame and labels only\n"
                        : "no numeric file; frame and labels only\n");
        } else {
            out << "nothing of slot " << slot << " is drawn\n";
        }
    }
    return outcome == GraphReadOutcome::Skipped ? 1 : 0;
}

}  // namespace kavlo
