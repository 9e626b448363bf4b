#include "render_command.h"

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <sstream>

#include "core/path_file.h"
#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// What a run wrote to the error stream, then its exit status.
std::string render(std::vector<std::string> args) {
    std::ostringstream err;
    const int status = runRender(args, err);
    return err.str() + "exit " + std::to_string(status) + "\n";
}

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(RenderCommandTest, SamplePageToEachDeviceWithItsOps) {
    TempDir dir;
    const std::string home = (dir.path() / "home").string();
    const std::string png = (dir.path() / "page.png").string();
    EXPECT_EQ(render({"--home", home, "-o", png, "--ops", (dir.path() / "s.jsonl").string()}),
              "exit 0\n");
    // The first run seeds the samples and writes no path file.
    EXPECT_TRUE(fs::exists(fs::path(home) / "g01.dat"));
    EXPECT_FALSE(fs::exists(fs::path(home) / kPathFileName));
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(794, 1123));
    int dark = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        dark += qGray(image.pixel(i % image.width(), i / image.width())) < 128 ? 1 : 0;
    }
    EXPECT_GT(dark, 10000);  // curves, frames and labels

    const std::string screen = read(dir.path() / "s.jsonl");
    EXPECT_TRUE(
        screen.starts_with("{\"op\":\"Device\",\"name\":\"screen\",\"unitsPerMmX\":3.77952719,"
                           "\"unitsPerMmY\":3.77952719}\n{\"op\":\"Slot\",\"slot\":1}\n"))
        << screen.substr(0, 200);
    EXPECT_EQ(count(screen, "{\"op\":\"Slot\""), 6u);
    // Two stream-line graphs of 30 lines with both edge lines, 2 x (30 + 2) curves, and the
    // front and right outlines of two surfaces.
    EXPECT_EQ(count(screen, "{\"op\":\"Polyline\""), 68u);
    // The meshes: 29 x 29 cells, one polygon each for the rectangles, two for the triangles.
    EXPECT_EQ(count(screen, "{\"op\":\"Polygon\""), 64u + 841u * 3u + 841u * 4u);
    EXPECT_EQ(count(screen, "\"text\":\"高さ z\"}"), 1u);

    // A PDF whose ops are logged for the metafile takes a second, silent pass.
    const auto pdf = dir.path() / "page.pdf", metaOps = dir.path() / "m.jsonl";
    EXPECT_EQ(render({"--home", home, "-o", pdf.string(), "--dpi", "300", "--device", "metafile",
                      "--ops", metaOps.string()}),
              "exit 0\n");
    EXPECT_EQ(read(pdf).substr(0, 4), "%PDF");
    const std::string meta = read(metaOps);
    EXPECT_TRUE(
        meta.starts_with("{\"op\":\"Device\",\"name\":\"metafile\",\"unitsPerMmX\":56.6929092,"
                         "\"unitsPerMmY\":56.6929092}\n"))
        << meta.substr(0, 200);
    EXPECT_GT(count(meta, "{\"op\":\"CreatePen\",\"id\":"), 0u);
    EXPECT_EQ(count(meta, "\"width\":16,\"rgb\":[0,0,0]"), 6u);  // z edges, LWD 1

    const auto svg = dir.path() / "page.svg";
    EXPECT_EQ(render({"--home", home, "-o", svg.string()}), "exit 0\n");
    EXPECT_NE(read(svg).find("viewBox=\"0 0 11907 16840\""), std::string::npos);
}

TEST(RenderCommandTest, PathFileSetUpMessagesAndStatus) {
    TempDir dir;
    PageSetup setup;
    setup.file(FileKind::Format, 1) = (dir.path() / "missing.dat").string();
    setup.file(FileKind::Format, 2) = dir.write("f.dat", test::FormatLines().text());
    const std::string pth = (dir.path() / "Kavlo.pth").string();
    ASSERT_TRUE(writePathFile(pth, setup));
    EXPECT_EQ(render({"--pth", pth, "--ops", (dir.path() / "ops.jsonl").string()}),
              " 1st Format Data Error: ファイルが存在しません。ご確認ください。 \nexit 1\n");
    const std::string ops = read(dir.path() / "ops.jsonl");
    EXPECT_EQ(count(ops, "{\"op\":\"Slot\""), 2u);
    EXPECT_EQ(count(ops, "{\"op\":\"MoveToEx\""), 2u);  // slot 2's frame only
    // The printer reads silently.
    EXPECT_EQ(render({"--pth", pth, "--device", "printer"}), "exit 1\n");
}

TEST(RenderCommandTest, UsageErrors) {
    TempDir dir;
    const std::string d = dir.path().string();
    // clang-format off
    const std::vector<std::vector<std::string>> bad = {
        {"-o", d + "/page.bmp"}, {"--device", "plotter"}, {"--dpi", "0"}, {"--dpi", "300.5"},
        {"--ops"}, {"page.png"}, {"--pth", d + "/none.pth"}, {"--home", d, "-o", d + "/no/x/p.png"}};
    // clang-format on
    for (const auto& args : bad) {
        const std::string run = render(args);
        EXPECT_TRUE(run.ends_with("\nexit 2\n")) << run;  // with a message before it
    }
}

}  // namespace
}  // namespace kavlo
