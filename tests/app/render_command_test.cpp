#include "render_command.h"

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <sstream>

#include "core/path_file.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::TempDir;

struct RenderRun {
    int status;
    std::string err;
};

RenderRun render(std::vector<std::string> args) {
    std::ostringstream err;
    const int status = runRender(args, err);
    return {status, err.str()};
}

std::vector<std::string> lines(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

std::size_t countContaining(const std::vector<std::string>& lines, const std::string& part) {
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(),
                      [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

TEST(RenderCommandTest, SamplePageToEachDeviceWithItsOps) {
    TempDir dir;
    const std::string home = (dir.path() / "home").string();
    const std::string png = (dir.path() / "page.png").string();
    const auto run =
        render({"--home", home, "-o", png, "--ops", (dir.path() / "s.jsonl").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    // The first run seeds the samples and writes no path file.
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(home) / "g01.dat"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(home) / kPathFileName));
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(794, 1123));
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 10000);  // curves, frames and labels

    const auto screen = lines(dir.path() / "s.jsonl");
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen[0],
              "{\"op\":\"Device\",\"name\":\"screen\",\"unitsPerMmX\":3.77952719,"
              "\"unitsPerMmY\":3.77952719}");
    EXPECT_EQ(screen[1], "{\"op\":\"Slot\",\"slot\":1}");
    EXPECT_EQ(countContaining(screen, "{\"op\":\"Slot\""), 6u);
    // Two stream-line graphs of 30 lines with both edge lines, 2 x (30 + 2) curves, and the
    // front and right outlines of two surfaces.
    EXPECT_EQ(countContaining(screen, "{\"op\":\"Polyline\""), 68u);
    // The meshes: 29 x 29 cells, one polygon each for the rectangles, two for the triangles.
    EXPECT_EQ(countContaining(screen, "{\"op\":\"Polygon\""), 64u + 841u * 3u + 841u * 4u);
    EXPECT_EQ(countContaining(screen, "\"text\":\"高さ z\"}"), 1u);

    // A PDF whose ops are logged for the metafile takes a second, silent pass.
    const std::string pdf = (dir.path() / "page.pdf").string();
    const auto both = render({"--home", home, "-o", pdf, "--dpi", "300", "--device", "metafile",
                              "--ops", (dir.path() / "m.jsonl").string()});
    EXPECT_EQ(both.status, 0) << both.err;
    std::ifstream pdfFile(pdf, std::ios::binary);
    std::string magic(4, '\0');
    pdfFile.read(magic.data(), 4);
    EXPECT_EQ(magic, "%PDF");
    const auto meta = lines(dir.path() / "m.jsonl");
    ASSERT_FALSE(meta.empty());
    EXPECT_EQ(meta[0],
              "{\"op\":\"Device\",\"name\":\"metafile\",\"unitsPerMmX\":56.6929092,"
              "\"unitsPerMmY\":56.6929092}");
    EXPECT_GT(countContaining(meta, "{\"op\":\"CreatePen\",\"id\":"), 0u);
    EXPECT_EQ(countContaining(meta, "\"width\":16,\"rgb\":[0,0,0]"), 6u);  // z edges, LWD 1

    const std::string svg = (dir.path() / "page.svg").string();
    EXPECT_EQ(render({"--home", home, "-o", svg}).status, 0);
    std::ifstream svgFile(svg);
    const std::string text((std::istreambuf_iterator<char>(svgFile)), {});
    EXPECT_NE(text.find("viewBox=\"0 0 11907 16840\""), std::string::npos);
}

TEST(RenderCommandTest, PathFileSetUpMessagesAndStatus) {
    TempDir dir;
    PageSetup setup;
    setup.file(FileKind::Format, 1) = (dir.path() / "missing.dat").string();
    setup.file(FileKind::Format, 2) = dir.write("f.dat", test::FormatLines().text());
    const std::string pth = (dir.path() / "Kavlo.pth").string();
    ASSERT_TRUE(writePathFile(pth, setup));
    const auto run = render({"--pth", pth, "--ops", (dir.path() / "ops.jsonl").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, " 1st Format Data Error: ファイルが存在しません。ご確認ください。 \n");
    const auto ops = lines(dir.path() / "ops.jsonl");
    EXPECT_EQ(countContaining(ops, "{\"op\":\"Slot\""), 2u);
    EXPECT_EQ(countContaining(ops, "{\"op\":\"MoveToEx\""), 2u);  // slot 2's frame only

    // The printer reads silently.
    const auto silent = render({"--pth", pth, "--device", "printer"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_TRUE(silent.err.empty()) << silent.err;
}

TEST(RenderCommandTest, UsageErrors) {
    TempDir dir;
    const std::vector<std::vector<std::string>> bad = {
        {"-o", (dir.path() / "page.bmp").string()},
        {"--device", "plotter"},
        {"--dpi", "0"},
        {"--dpi", "300.5"},
        {"--ops"},
        {"page.png"},
        {"--pth", (dir.path() / "none.pth").string()},
        {"--home", dir.path().string(), "-o", (dir.path() / "no" / "such" / "page.png").string()},
    };
    for (const auto& args : bad) {
        const auto run = render(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_FALSE(run.err.empty());
    }
}

}  // namespace
}  // namespace kavlo
