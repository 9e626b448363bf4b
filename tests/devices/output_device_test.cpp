#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <set>

#include "devices/emf_surface.h"
#include "devices/output_device.h"
#include "drawing_helpers.h"
#include "render/recording_surface.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using namespace test;

// clang-format off
enum : std::uint32_t {
    kHeader = 1, kPolygon = 3, kSetWindowExtEx = 9, kSetWindowOrgEx = 10, kSetViewportExtEx = 11,
    kEof = 14, kSetMapMode = 17, kMoveToEx = 27, kSelectObject = 37, kCreatePen = 38,
    kCreateBrush = 39, kDeleteObject = 40, kLineTo = 54, kCreateFont = 82, kTextOut = 84,
    kPolygon16 = 86,
};
// clang-format on

// One record of a metafile, read where it lies.
struct Record {
    std::uint32_t type = 0;
    std::string_view bytes;
    template <typename T = std::int32_t>
    T at(std::size_t offset) const {
        T v{};
        std::memcpy(&v, bytes.data() + offset, sizeof v);
        return v;
    }
    std::uint32_t word(std::size_t offset) const { return at<std::uint32_t>(offset); }
    // The points of a polygon record, 16 or 32 bits each.
    std::vector<DevicePoint> points() const {
        std::vector<DevicePoint> result;
        for (std::uint32_t k = 0; k < word(24); ++k) {
            result.push_back(type == kPolygon16 ? DevicePoint{at<std::int16_t>(28 + 4 * k),
                                                              at<std::int16_t>(30 + 4 * k)}
                                                : DevicePoint{at(28 + 8 * k), at(32 + 8 * k)});
        }
        return result;
    }
};

std::vector<Record> recordsOf(std::string_view file) {
    std::vector<Record> records;
    for (std::size_t at = 0; at < file.size();) {
        std::uint32_t head[2] = {};  // a record cut short claims no size
        std::memcpy(head, file.data() + at, std::min(sizeof head, file.size() - at));
        if (head[1] < 8 || head[1] % 4 != 0 || head[1] > file.size() - at) {
            ADD_FAILURE() << "record " << head[0] << " at " << at << " claims " << head[1];
            break;
        }
        records.push_back({head[0], file.substr(at, head[1])});
        at += head[1];
    }
    return records;
}

// The pen and brush colours a polygon is drawn with.
struct Colours {
    Rgb pen;
    Rgb brush;
    friend bool operator==(const Colours&, const Colours&) = default;
};

// The metafile's object records played as a reader keeps its table, each misuse a failure.
struct PlayedObjects {
    std::vector<Colours> polygons;
    std::map<std::uint32_t, int> made;  // by record type
    std::size_t mostAlive = 0;
};

PlayedObjects playObjects(const std::vector<Record>& records) {
    const std::uint32_t handles = records.front().word(56) & 0xFFFF;
    // Kind and colour by handle: WHITE_BRUSH, BLACK_PEN and DEVICE_DEFAULT_FONT, then those made.
    std::map<std::uint32_t, std::pair<std::uint32_t, Rgb>> objects{
        {0x80000000u, {kCreateBrush, kWhite}},
        {0x80000007u, {kCreatePen, kBlack}},
        {0x8000000Eu, {kCreateFont, kBlack}}};
    const std::size_t stock = objects.size();
    std::map<std::uint32_t, std::uint32_t> selected;  // the handle in use of each kind
    Colours now{kBlack, kWhite};
    PlayedObjects played;
    for (const Record& r : records) {
        const std::uint32_t handle = r.bytes.size() >= 12 ? r.word(8) : 0;
        const auto object = objects.find(handle);
        const bool made = object != objects.end() && handle < 0x80000000u;
        if (r.type == kCreatePen || r.type == kCreateBrush || r.type == kCreateFont) {
            EXPECT_FALSE(made) << "handle " << handle << " made twice";
            EXPECT_LT(handle, handles) << "beyond the header's handles";
            // A COLORREF holds red in its lowest byte, as Rgb does.
            objects[handle] = {
                r.type, r.type == kCreateFont ? kBlack : r.at<Rgb>(r.type == kCreatePen ? 24 : 16)};
            ++played.made[r.type];
            played.mostAlive = std::max(played.mostAlive, objects.size() - stock);
        } else if (r.type == kSelectObject) {
            if (object == objects.end()) {
                ADD_FAILURE() << "handle " << handle << " selected but not alive";
                continue;
            }
            const auto [kind, colour] = object->second;
            selected[kind] = handle;
            if (kind != kCreateFont) {
                (kind == kCreatePen ? now.pen : now.brush) = colour;
            }
        } else if (r.type == kDeleteObject) {
            EXPECT_TRUE(made) << "handle " << handle << " deleted but not alive";
            if (made) {
                EXPECT_NE(selected[object->second.first], handle) << "deleted while selected";
                objects.erase(object);
            }
        } else if (r.type == kPolygon || r.type == kPolygon16) {
            played.polygons.push_back(now);
        }
    }
    EXPECT_EQ(objects.size(), stock) << "objects never deleted";
    return played;
}

// The calls a device's pass draws, as its ops log lists them, writing `file`.
std::vector<std::string> writtenOps(const OutputDevice& device, int dpi, const PageRequest& request,
                                    const fs::path& file) {
    std::vector<std::string> lines;
    SilentMessages silent;
    PageOutcome outcome;
    const WriteResult written = writePageFile(
        {device, dpi, request, silent, [&](const std::string& line) { lines.push_back(line); }},
        file, outcome);
    EXPECT_TRUE(written.ok()) << written.message;
    EXPECT_TRUE(outcome.allDrawn);
    return lines;
}

std::string emfOf(const PageRequest& request, const fs::path& file) {
    writtenOps(*outputDeviceNamed("emf"), 600, request, file);
    return bytesOf(file);
}

// The page as a metafile is read by another program; a part of it is its own picture.
TEST(EmfOutputTest, AnotherProgramReadsThePageAndASelectionIsThePictureAtItsSize) {
    SamplePage page;
    const fs::path emf = page.dir.path() / "page.emf", svg = page.dir.path() / "page.svg";
    emfOf(page.request, emf);
    runTool("emf2svg-conv", {"-i", QString::fromStdString(emf.string()), "-o",  // Debian emf2svg
                             QString::fromStdString(svg.string())});
    const QString picture = QString::fromStdString(bytesOf(svg));
    // The whole page, one unit a twip (the reader counts bounds from their first to last unit).
    const auto size =
        QRegularExpression("<svg[^>]* width=\"([0-9.]+)\" height=\"([0-9.]+)\"").match(picture);
    ASSERT_TRUE(size.hasMatch()) << picture.left(400).toStdString();
    EXPECT_NEAR(size.captured(1).toDouble(), kPageWidthTwips, 1);
    EXPECT_NEAR(size.captured(2).toDouble(), kPageHeightTwips, 1);
    std::multiset<std::string> texts, faces, others;
    std::size_t polygons = 0;
    RecordingSurface recording;
    quietPass(page.request, recording, metafileProfile());
    for (const RecordedOp& op : recording.ops()) {
        polygons += op.op == "Polygon";
        (op.op == "TextOutA" ? texts : op.op == "CreateFontA" ? faces : others).insert(op.text);
    }
    // Every closed path but the picture's clip.
    const auto found = [&](const char* pattern) {
        std::multiset<std::string> all;
        for (auto m = QRegularExpression(pattern).globalMatch(picture); m.hasNext();) {
            all.insert(m.next().captured(1).toStdString());
        }
        return all;
    };
    EXPECT_EQ(found("<path[^>]* d=\"[^\"]*(Z)\"").size() - found("(<clipPath)").size(), polygons);
    const std::multiset<std::string> shown = found("<text[^>]*><!\\[CDATA\\[(.*?)\\]\\]>");
    EXPECT_EQ(shown, texts);
    // The faces the page names ("ＭＳ 明朝", "Arial" ...), not the ones standing in for them here.
    const auto named = found("<text[^>]* font-family=\"([^\"]*)\"");
    EXPECT_EQ(std::set(named.begin(), named.end()), std::set(faces.begin(), faces.end()));
    EXPECT_TRUE(named.contains("ＭＳ Ｐ明朝") && shown.contains("Fig. 2  Stream lines along y."));

    page.request.selection = PageSelection{30, 40, 20, 20};  // 10 x 20 mm, dragged up and left
    // The records view the file's bytes, which must outlive them.
    const std::string part = emfOf(page.request, page.dir.path() / "part.emf");
    const auto records = recordsOf(part);
    ASSERT_GT(records.size(), 100u);
    const Record& header = records.front();
    ASSERT_EQ(header.type, kHeader);
    const auto rect = [](const Record& r, std::size_t at) {
        return std::array{r.at(at), r.at(at + 4), r.at(at + 8), r.at(at + 12)};
    };
    EXPECT_EQ(rect(header, 8), (std::array{0, 0, 566, 1133}));    // bounds, device units
    EXPECT_EQ(rect(header, 24), (std::array{0, 0, 1000, 2000}));  // frame, 0.01 mm
    playObjects(records);
    // No pen thinner than the SVG's strokes, and facets edged wide enough to close seams.
    // A line's pen is chosen before its move: a reader may end the figure at a selection.
    bool moved = false;
    std::set<std::int32_t> widths;
    std::map<std::uint32_t, std::array<std::int32_t, 2>> setUp;
    for (const Record& r : records) {
        if (r.type == kSetMapMode || r.type == kSetWindowOrgEx || r.type == kSetWindowExtEx ||
            r.type == kSetViewportExtEx) {
            setUp[r.type] = {r.at(8), r.bytes.size() > 12 ? r.at(12) : 0};
        }
        if (r.type == kMoveToEx || r.type == kLineTo) {
            moved = r.type == kMoveToEx;
        }
        EXPECT_FALSE(moved && r.type == kSelectObject) << "selection between a move and its line";
        if (r.type == kCreatePen) {
            EXPECT_GE(r.at(16), kVectorMinimumStroke);
            widths.insert(r.at(16));
        }
    }
    EXPECT_TRUE(widths.contains(std::lround(kSeamWidthMm * kTwipsPerMm)));
    // Anisotropic mapping of the selection's window onto a viewport of the same units.
    EXPECT_EQ(setUp, (std::map<std::uint32_t, std::array<std::int32_t, 2>>{
                         {kSetMapMode, {8, 0}},
                         {kSetWindowOrgEx, {1134, 1134}},
                         {kSetWindowExtEx, {567, 1134}},
                         {kSetViewportExtEx, {567, 1134}}}));
}

TEST(EmfSurfaceTest, PointsNearAndFarKeepTheirCoordinatesAndTextIsLaidOutByTheReader) {
    const std::vector<DevicePoint> near{{-32768, 5}, {32767, -7}, {0, 16840}};
    const std::vector<DevicePoint> far{{-40000, 5}, {70000, 5}, {0, 99999}};
    const QString sample = QString::fromUtf8("日本 AB𝄞 AVA Wave fi 1.5 mm ");
    TextExtent extent;
    const std::string file = renderEmfPicture(
        [&](DrawSurface& surface) {
            surface.polygon(near);
            surface.polygon(far);
            const ObjectId font = surface.createFont(300, 200, 900, "ＭＳ ゴシック");
            surface.selectObject(font);
            surface.drawText(10, 20, sample.toStdString());
            extent = surface.textExtent(sample.toStdString());
            surface.deleteObject(font);  // selected: it stays until the picture ends
        },
        QRect(0, 0, 100, 100));
    const std::vector<Record> records = recordsOf(file);
    playObjects(records);
    std::vector<Record> drawn;
    std::ranges::copy_if(records, std::back_inserter(drawn), [](const Record& r) {
        return r.type == kPolygon || r.type == kPolygon16 || r.type == kTextOut;
    });
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(std::pair(drawn[0].type, drawn[0].points()), std::pair(+kPolygon16, near));
    EXPECT_EQ(std::pair(drawn[1].type, drawn[1].points()), std::pair(+kPolygon, far));
    const Record& text = drawn[2];
    const auto units = static_cast<std::size_t>(sample.size());
    ASSERT_EQ(text.word(44), units);
    EXPECT_EQ(text.bytes.substr(text.word(48), units * 2),
              std::string_view(reinterpret_cast<const char*>(sample.utf16()), units * 2));
    // No advances: the reader's font places its own glyphs, without gaps between them.
    EXPECT_EQ(text.word(72), 0u);
    EXPECT_EQ(text.bytes.size(), 76 + (units * 2 + 3) / 4 * 4);
    // Turned a quarter left, the text runs up from its point with its cell to the right.
    EXPECT_GT(extent.cx, 20 * 200);
    EXPECT_EQ((std::array{text.at(8), text.at(12), text.at(16), text.at(20)}),
              (std::array{10, 20 - extent.cx, 10 + extent.cy, 20}));
}

TEST(EmfSurfaceTest, EachColourIsMadeOnceAndPastTheTableTheLeastUsedMakeRoom) {
    for (const std::array<int, 2> size : {std::array{300, 20}, std::array{5000, 2}}) {
        const int colours = size[0], rounds = size[1];  // a lambda may capture these, in C++20
        SCOPED_TRACE(colours);
        std::vector<Colours> asked;
        const std::string file = renderEmfPicture(
            [&](DrawSurface& s) {
                const std::vector<DevicePoint> facet{{0, 0}, {40, 0}, {0, 40}};
                // A font used first and selected throughout is the least recently used object.
                s.selectObject(s.createFont(100, 0, 0, "Arial"));
                s.drawText(0, 0, "z");
                // Each facet makes, selects, restores and deletes its own pen and brush.
                for (int round = 0; round < rounds; ++round) {
                    for (int k = 0; k < colours; ++k) {
                        const auto low = static_cast<std::uint8_t>(k);
                        const auto high = static_cast<std::uint8_t>(k >> 8);
                        asked.push_back({{7, high, low}, {low, high, 7}});
                        colouredPolygon(s, asked.back().pen, asked.back().brush, facet);
                    }
                }
                s.polygon(facet);
                asked.push_back({kBlack, kWhite});
                s.drawText(0, 0, "z");
            },
            QRect(0, 0, 100, 100));
        const std::vector<Record> records = recordsOf(file);
        const PlayedObjects played = playObjects(records);
        const auto other = std::ranges::mismatch(played.polygons, asked).in1;
        EXPECT_TRUE(played.polygons == asked) << "polygon " << (other - played.polygons.begin());
        EXPECT_LE(played.mostAlive, EmfObjectTable::kCapacity);
        EXPECT_LE(records.front().word(56) & 0xFFFF, EmfObjectTable::kCapacity + 1);
        if (2 * colours <= static_cast<int>(EmfObjectTable::kCapacity)) {
            EXPECT_EQ(played.made.at(kCreatePen), colours);
            EXPECT_EQ(played.made.at(kCreateBrush), colours);
        }
    }
}

TEST(OutputDeviceTest, EveryOutputDrawsTheCanvasViewStepsAndTheMetafileFileIsTheClipboards) {
    const SamplePage page;
    // Slot 1 turned and slot 2's z magnified, as the canvas's buttons leave them.
    PageRequest turned = page.request;
    turned.steps.turn[1] = 2;
    turned.steps.zoom[2] = 1;
    for (const OutputDevice& device : outputDevices()) {
        const fs::path file = page.dir.path() / ("page" + std::string(device.extension));
        const auto plain = writtenOps(device, 150, page.request, file);
        EXPECT_NE(plain, writtenOps(device, 150, turned, file)) << device.name;
    }
    // The canvas draws from its own view steps; a request with its steps draws the same.
    RecordedMessages messages;
    PageOutcome outcome;
    ViewSteps steps = turned.steps;
    PageSetup setup = turned.setup;
    const QImage canvas = renderScreenImage(steps, setup, messages, outcome);
    EXPECT_TRUE(renderScreenImage(turned, messages, outcome) == canvas);
    EXPECT_FALSE(renderScreenImage(page.request, messages, outcome) == canvas);

    turned.selection = PageSelection{120, 150, 20, 10};
    const QByteArray picture = renderMetafilePicture(turned, outcome);
    EXPECT_TRUE(picture.contains("viewBox=\"1134 567 5669 7937\"")) << picture.left(300).data();
    const fs::path file = page.dir.path() / "pic.svg";
    writtenOps(*outputDeviceNamed("metafile"), 600, turned, file);
    EXPECT_EQ(bytesOf(file), picture.toStdString());
}

}  // namespace
}  // namespace kavlo
