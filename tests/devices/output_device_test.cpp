#include "devices/output_device.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <fstream>

#include "application_folder.h"
#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

using test::bytesOf;

// The sample page, and the same page with slot 1 turned and slot 2's z magnified as the
// canvas's buttons leave them.
struct SamplePages {
    SamplePages() {
        EXPECT_TRUE(seedApplicationFolder(dir.path()));
        plain.setup = sampleSetup(dir.path().string());
        viewed = plain;
        viewed.steps.turn[1] = 2;
        viewed.steps.zoom[2] = 1;
    }
    TempDir dir;
    PageRequest plain;
    PageRequest viewed;
};

// The calls a device's pass draws, as its ops log lists them.
std::vector<std::string> calls(const OutputDevice& device, const PageRequest& request,
                               const fs::path& file) {
    std::vector<std::string> lines;
    RecordedMessages messages;
    PageOutcome outcome;
    const WriteResult written = writePageFile(
        {device, 150, request, messages, [&](const std::string& line) { lines.push_back(line); }},
        file, outcome);
    EXPECT_TRUE(written.ok()) << written.message;
    EXPECT_TRUE(outcome.allDrawn);
    return lines;
}

TEST(OutputDeviceTest, EveryOutputDrawsThePageWithTheCanvasViewSteps) {
    const SamplePages pages;
    for (const OutputDevice& device : outputDevices()) {
        const fs::path file = pages.dir.path() / ("page" + std::string(device.extension));
        const auto plain = calls(device, pages.plain, file);
        EXPECT_NE(plain, calls(device, pages.viewed, file)) << device.name;
    }

    // The canvas draws from its own view steps; a request with its steps draws the same.
    RecordedMessages messages;
    PageOutcome outcome;
    ViewSteps steps = pages.viewed.steps;
    PageSetup setup = pages.viewed.setup;
    const QImage canvas = renderScreenImage(steps, setup, messages, outcome);
    const QImage viewed = renderScreenImage(pages.viewed, messages, outcome);
    EXPECT_TRUE(viewed == canvas);
    EXPECT_FALSE(renderScreenImage(pages.plain, messages, outcome) == canvas);

    // The printer's page on any painter.
    const auto printed = [](const PageRequest& request) {
        QImage image(827, 1170, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        drawPrinterPage(painter, 100, request);
        return image;
    };
    EXPECT_FALSE(printed(pages.viewed) == printed(pages.plain));
}

TEST(OutputDeviceTest, TheMetafileFileIsThePictureOnTheClipboard) {
    SamplePages pages;
    pages.viewed.selection = PageSelection{120, 150, 20, 10};
    PageOutcome outcome;
    const QByteArray picture = renderMetafilePicture(pages.viewed, outcome);
    EXPECT_TRUE(picture.contains("viewBox=\"1134 567 5669 7937\"")) << picture.left(300).data();
    const fs::path file = pages.dir.path() / "pic.svg";
    RecordedMessages messages;
    ASSERT_TRUE(
        writePageFile({*outputDeviceNamed("metafile"), 600, pages.viewed, messages}, file, outcome)
            .ok());
    EXPECT_EQ(bytesOf(file), picture.toStdString());
    EXPECT_NE(renderMetafilePicture(pages.plain, outcome).toStdString(), bytesOf(file));
}

TEST(OutputDeviceTest, OnlyTheScreenReadingTellsMessages) {
    TempDir dir;
    PageRequest request;
    request.setup.file(FileKind::Format, 1) = (dir.path() / "missing.dat").string();
    for (const OutputDevice& device : outputDevices()) {
        RecordedMessages messages;
        PageOutcome outcome;
        const fs::path file = dir.path() / ("page" + std::string(device.extension));
        ASSERT_TRUE(writePageFile({device, 150, request, messages}, file, outcome).ok());
        EXPECT_EQ(messages.messages.size(), device.kind == OutputKind::Screen ? 1u : 0u)
            << device.name;
        EXPECT_EQ(outcome.allDrawn, false) << device.name;
    }
}

}  // namespace
}  // namespace kavlo
