#include "display_choice.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/file_descriptor.h"
#include "core/shared_library.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

constexpr const char* kWithoutOne =
    "Without one, `kavlo render -o page.pdf` draws the sample page (or with --pth FILE the page\n"
    "of a path file) into page.pdf, and `kavlo check FORMAT [NUMERIC]` reads a graph's files\n"
    "and tells what drawing them would say; `kavlo --help` lists every option.\n";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Through libxcb itself, as Qt connects: it reads every form DISPLAY takes (a socket, host:n,
// ssh's forwarding) and meets a server that refuses us for want of authorisation. Loaded, not
// linked: only the windows need it, and Qt's X platform loads it anyway.
bool xServerAnswers() {
    using Connect = void* (*)(const char* display, int* screen);
    using HasError = int (*)(void* connection);
    using Disconnect = void (*)(void* connection);
    const SharedLibrary xcb("libxcb.so.1");
    const auto connect = xcb.function<Connect>("xcb_connect");
    const auto hasError = xcb.function<HasError>("xcb_connection_has_error");
    const auto disconnect = xcb.function<Disconnect>("xcb_disconnect");
    if (!connect || !hasError || !disconnect) {
        return false;
    }
    void* connection = connect(nullptr, nullptr);
    const bool answers = hasError(connection) == 0;
    disconnect(connection);
    return answers;
}

// A compositor asks nothing of a client but that it connects to its socket, found as
// libwayland-client finds it. libwayland-client's own connect would log to stderr and use up a
// WAYLAND_SOCKET handed over.
bool compositorAnswers() {
    if (!environment("WAYLAND_SOCKET").empty()) {
        return true;
    }
    std::string path = environment("WAYLAND_DISPLAY");
    if (path.empty()) {
        path = "wayland-0";
    }
    if (QDir::isRelativePath(QFile::decodeName(path.c_str()))) {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (runtime.empty()) {
            return false;
        }
        path =
            QFile::encodeName(
                QDir(QFile::decodeName(runtime.c_str())).filePath(QFile::decodeName(path.c_str())))
                .toStdString();
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return socket.get() >= 0 &&
           ::connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

std::string noXServer() {
    return "cannot connect to the X server at DISPLAY=" + terminalText(environment("DISPLAY"));
}

std::string noCompositor() {
    return "cannot connect to a Wayland compositor at WAYLAND_DISPLAY=" +
           terminalText(environment("WAYLAND_DISPLAY"));
}

std::string noneAnswers(const std::string& why) {
    return "kavlo: the main window needs a desktop session, and none answers:\n" + why + ".\n" +
           kWithoutOne;
}

// QT_QPA_PLATFORM names one platform or several to try in turn, each perhaps with options
// after a colon.
std::string chosenPlatformAnswers(const std::string& chosen) {
    std::string why;
    for (const QByteArray& entry : QByteArray::fromStdString(chosen).split(';')) {
        const QByteArray name = entry.split(':').front();
        const bool x = name == "xcb";
        if (!x && !name.startsWith("wayland")) {
            return {};
        }
        if (x ? xServerAnswers() : compositorAnswers()) {
            return {};
        }
        why += (why.empty() ? "" : "; ") + (x ? noXServer() : noCompositor());
    }
    return noneAnswers("QT_QPA_PLATFORM=" + terminalText(chosen) + " chooses it, but " + why);
}

}  // namespace

std::string chooseDisplay() {
    if (const std::string chosen = environment("QT_QPA_PLATFORM"); !chosen.empty()) {
        return chosenPlatformAnswers(chosen);
    }
    const bool x = !environment("DISPLAY").empty();
    const bool wayland = !environment("WAYLAND_DISPLAY").empty();
    if (!x && !wayland) {
        return std::string(
                   "kavlo: the main window needs a desktop session, and neither DISPLAY "
                   "nor WAYLAND_DISPLAY\nis set.\n") +
               kWithoutOne;
    }
    const bool xAnswers = x && xServerAnswers();
    const bool waylandAnswers = wayland && compositorAnswers();
    if (xAnswers != waylandAnswers) {
        qputenv("QT_QPA_PLATFORM", xAnswers ? "xcb" : "wayland");
    }
    if (xAnswers || waylandAnswers) {
        return {};
    }
    return noneAnswers(x && wayland ? noXServer() + "; " + noCompositor()
                                    : (x ? noXServer() : noCompositor()));
}

}  // namespace kavlo
