#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <cstring>
#include <map>
#include <set>

#include "application_folder.h"
#include "devices/emf_surface.h"
#include "devices/output_device.h"
#include "devices/screen_measure.h"
#include "render/recording_surface.h"
#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::TempDir;

enum : std::uint32_t {
    kHeader = 1,
    kPolygon = 3,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kEof = 14,
    kSetMapMode = 17,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrush = 39,
    kDeleteObject = 40,
    kCreateFont = 82,
    kTextOut = 84,
    kPolygon16 = 86,
};

// One record of a metafile, read where it lies.
struct Record {
    std::uint32_t type = 0;
    std::string_view bytes;
    std::int32_t at(std::size_t offset) const {
        std::int32_t v = 0;
        std::memcpy(&v, bytes.data() + offset, sizeof v);
        return v;
    }
    std::uint32_t word(std::size_t offset) const { return static_cast<std::uint32_t>(at(offset)); }
    std::u16string utf16(std::size_t offset, std::size_t units) const {
        std::u16string s(units, u'\0');
        std::memcpy(s.data(), bytes.data() + offset, units * 2);
        return s.substr(0, s.find(u'\0'));
    }
    // The points of a polygon record, 16 or 32 bits each.
    std::vector<DevicePoint> points() const {
        const bool small = type == kPolygon16;
        std::vector<DevicePoint> result;
        for (std::uint32_t k = 0; k < word(24); ++k) {
            if (small) {
                std::int16_t xy[2];
                std::memcpy(xy, bytes.data() + 28 + 4 * k, sizeof xy);
                result.push_back({xy[0], xy[1]});
            } else {
                result.push_back({at(28 + 8 * k), at(32 + 8 * k)});
            }
        }
        return result;
    }
};

std::vector<Record> recordsOf(std::string_view file) {
    std::vector<Record> records;
    for (std::size_t at = 0; at < file.size();) {
        std::uint32_t head[2];
        if (file.size() - at < sizeof head) {
            ADD_FAILURE() << "a record is cut at " << at;
            break;
        }
        std::memcpy(head, file.data() + at, sizeof head);
        if (head[1] < 8 || head[1] % 4 != 0 || head[1] > file.size() - at) {
            ADD_FAILURE() << "record " << head[0] << " at " << at << " claims " << head[1];
            break;
        }
        records.push_back({head[0], file.substr(at, head[1])});
        at += head[1];
    }
    return records;
}

struct SamplePage {
    SamplePage() {
        EXPECT_TRUE(seedApplicationFolder(dir.path()));
        request.setup = sampleSetup(dir.path().string());
    }
    // The page as the metafile device writes it.
    std::string emf(const fs::path& file) const {
        SilentMessages silent;
        PageOutcome outcome;
        const WriteResult written =
            writePageFile({*outputDeviceNamed("emf"), 600, request, silent}, file, outcome);
        EXPECT_TRUE(written.ok()) << written.message;
        EXPECT_TRUE(outcome.allDrawn);
        return bytesOf(file);
    }
    // The calls the metafile's pass makes for the same page.
    std::vector<RecordedOp> calls() const {
        RecordingSurface recording;
        ScreenMeasure screen;
        SilentMessages silent;
        const DeviceProfile profile = metafileProfile();
        runPagePass(request, {recording, profile, silent, screen.surface(), {}});
        return recording.ops();
    }
    TempDir dir;
    PageRequest request;
};

TEST(EmfOutputTest, ASelectionIsThePictureAtItsSizeAndEveryObjectIsFreed) {
    SamplePage page;
    page.request.selection = PageSelection{30, 40, 20, 20};  // 10 x 20 mm, dragged up and left
    const std::string file = page.emf(page.dir.path() / "part.emf");
    const auto records = recordsOf(file);
    ASSERT_GT(records.size(), 100u);

    const Record& header = records.front();
    ASSERT_EQ(header.type, kHeader);
    EXPECT_EQ(header.word(40), 0x464D4520u);
    EXPECT_EQ(header.word(48), file.size());
    EXPECT_EQ(header.word(52), records.size());
    const auto rect = [](const Record& r, std::size_t at) {
        return std::array{r.at(at), r.at(at + 4), r.at(at + 8), r.at(at + 12)};
    };
    EXPECT_EQ(rect(header, 8), (std::array{0, 0, 566, 1133}));    // bounds, device units
    EXPECT_EQ(rect(header, 24), (std::array{0, 0, 1000, 2000}));  // frame, 0.01 mm
    EXPECT_EQ(records.back().type, kEof);

    std::map<std::uint32_t, std::array<std::int32_t, 2>> setUp;
    // Each live handle's kind, and the handle of each kind now selected.
    std::map<std::uint32_t, std::uint32_t> live;
    std::map<std::uint32_t, std::uint32_t> selected;
    int created = 0;
    for (const Record& r : records) {
        const std::uint32_t handle = r.bytes.size() >= 12 ? r.word(8) : 0;
        switch (r.type) {
            case kSetMapMode:
            case kSetWindowOrgEx:
            case kSetWindowExtEx:
            case kSetViewportExtEx:
                setUp[r.type] = {r.at(8), r.bytes.size() > 12 ? r.at(12) : 0};
                break;
            case kCreatePen:
            case kCreateBrush:
            case kCreateFont:
                ++created;
                EXPECT_FALSE(live.contains(handle)) << "handle " << handle << " made twice";
                EXPECT_LT(handle, header.word(56) & 0xFFFF) << "beyond the header's handles";
                live[handle] = r.type;
                break;
            case kSelectObject:
                if ((handle & 0x80000000u) != 0) {
                    // Stock objects: brushes 0 to 5, pens 6 to 8, fonts after them.
                    const std::uint32_t stock = handle & 0x7FFFFFFFu;
                    selected[stock <= 5   ? kCreateBrush
                             : stock <= 8 ? kCreatePen
                                          : kCreateFont] = handle;
                } else {
                    ASSERT_TRUE(live.contains(handle)) << "handle " << handle << " is gone";
                    selected[live[handle]] = handle;
                }
                break;
            case kDeleteObject:
                ASSERT_TRUE(live.contains(handle)) << "handle " << handle << " deleted twice";
                EXPECT_NE(selected[live[handle]], handle) << "deleted while selected";
                live.erase(handle);
                break;
        }
    }
    EXPECT_GT(created, 50);
    EXPECT_TRUE(live.empty()) << live.size() << " objects never deleted";
    EXPECT_EQ(setUp[kSetMapMode][0], 8);  // anisotropic
    EXPECT_EQ(setUp[kSetWindowOrgEx], (std::array{1134, 1134}));
    EXPECT_EQ(setUp[kSetWindowExtEx], (std::array{567, 1134}));
    EXPECT_EQ(setUp[kSetViewportExtEx], (std::array{567, 1134}));
}

TEST(EmfOutputTest, AnotherProgramReadsThePage) {
    const SamplePage page;
    const fs::path emf = page.dir.path() / "page.emf";
    const fs::path svg = page.dir.path() / "page.svg";
    page.emf(emf);
    QProcess convert;
    convert.start("emf2svg-conv", {"-i", QString::fromStdString(emf.string()), "-o",
                                   QString::fromStdString(svg.string())});
    ASSERT_TRUE(convert.waitForFinished(60000)) << "emf2svg-conv (Debian emf2svg) is needed";
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    const QString picture = QString::fromStdString(bytesOf(svg));

    // The whole page, one unit a twip (the reader counts bounds from their first to last unit).
    const auto size =
        QRegularExpression("<svg[^>]* width=\"([0-9.]+)\" height=\"([0-9.]+)\"").match(picture);
    ASSERT_TRUE(size.hasMatch()) << picture.left(400).toStdString();
    EXPECT_NEAR(size.captured(1).toDouble(), kPageWidthTwips, 1);
    EXPECT_NEAR(size.captured(2).toDouble(), kPageHeightTwips, 1);

    std::multiset<std::string> texts, shown;
    std::set<std::string> faces, shownFaces;
    std::size_t polygons = 0;
    for (const RecordedOp& op : page.calls()) {
        polygons += op.op == "Polygon";
        if (op.op == "TextOutA") {
            texts.insert(op.text);
        } else if (op.op == "CreateFontA") {
            faces.insert(op.text);
        }
    }
    // Every closed path but the picture's clip.
    const auto count = [&](const char* pattern) {
        return static_cast<std::size_t>(picture.count(QRegularExpression(pattern)));
    };
    EXPECT_EQ(count("<path[^>]* d=\"[^\"]*Z\"") - count("<clipPath"), polygons);
    auto match = QRegularExpression("<text[^>]*><!\\[CDATA\\[(.*?)\\]\\]>").globalMatch(picture);
    while (match.hasNext()) {
        shown.insert(match.next().captured(1).toStdString());
    }
    EXPECT_EQ(shown, texts);
    // The faces the page names ("ＭＳ 明朝", "Arial" ...), not the ones standing in for them here.
    auto family = QRegularExpression("<text[^>]* font-family=\"([^\"]*)\"").globalMatch(picture);
    while (family.hasNext()) {
        shownFaces.insert(family.next().captured(1).toStdString());
    }
    EXPECT_EQ(shownFaces, faces);
    EXPECT_TRUE(shownFaces.contains("ＭＳ Ｐ明朝"));
    EXPECT_TRUE(shown.contains("x 方向 (m)"));
    EXPECT_TRUE(shown.contains("Fig. 2  Stream lines along y."));
}

TEST(EmfSurfaceTest, PointsNearAndFarKeepTheirCoordinatesAndTextItsWidth) {
    const std::vector<DevicePoint> near{{-32768, 5}, {32767, -7}, {0, 16840}};
    const std::vector<DevicePoint> far{{-40000, 5}, {70000, 5}, {0, 99999}};
    // Kerned pairs, ligatures, spaces at the end, and long enough to be laid out in pieces:
    // each prefix as wide as the surface measures it.
    const QString sample = QString::fromUtf8("日本 AB𝄞 AVA Wave fi ffl 1.5 mm  ").repeated(24);
    std::vector<std::int32_t> prefixWidths;
    const std::string file = renderEmfPicture(
        [&](DrawSurface& surface) {
            surface.Polygon(near);
            surface.Polygon(far);
            const ObjectId font = surface.CreateFontA(300, 200, 900, "ＭＳ ゴシック");
            surface.SelectObject(font);
            surface.TextOutA(10, 20, sample.toStdString());
            for (qsizetype k = 1; k <= sample.size(); ++k) {
                if (!sample[k - 1].isHighSurrogate()) {
                    prefixWidths.push_back(
                        surface.GetTextExtentPoint32A(sample.left(k).toStdString()).cx);
                }
            }
            surface.DeleteObject(font);  // selected: nothing is freed
        },
        QRect(0, 0, 100, 100));

    std::vector<Record> drawn;
    for (const Record& r : recordsOf(file)) {
        if (r.type == kPolygon || r.type == kPolygon16 || r.type == kTextOut ||
            r.type == kDeleteObject) {
            drawn.push_back(r);
        }
    }
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].type, kPolygon16);
    EXPECT_EQ(drawn[0].points(), near);
    EXPECT_EQ(drawn[1].type, kPolygon);
    EXPECT_EQ(drawn[1].points(), far);
    const Record& text = drawn[2];
    const auto units = static_cast<std::size_t>(sample.size());
    ASSERT_EQ(text.word(44), units);
    EXPECT_EQ(text.utf16(text.word(48), units), sample.toStdU16String());
    std::vector<std::int32_t> positions;
    std::int32_t width = 0;
    for (std::size_t k = 0; k < units; ++k) {
        const std::int32_t advance = text.at(text.word(72) + 4 * k);
        width += advance;
        if (!sample[static_cast<qsizetype>(k)].isHighSurrogate()) {
            positions.push_back(width);
        } else {
            EXPECT_EQ(advance, 0);
        }
    }
    EXPECT_EQ(positions, prefixWidths);
    EXPECT_GT(width, 24 * 20 * 200);
}

}  // namespace
}  // namespace kavlo
