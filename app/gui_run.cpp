#include <QApplication>
#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "desktop_presence.h"
#include "gui_command.h"
#include "stream_messages.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

namespace kavlo {

int runGui(const GuiOptions& options, std::ostream& err) {
    presentOnDesktop(*qApp);
    Session session(applicationFolder(options.home));
    if (!seedApplicationFolder(session.appFolder)) {
        err << "kavlo: cannot create the application folder "
            << terminalText(session.appFolder.string()) << "\n";
        return 2;
    }
    MessageBoxes messages(nullptr);
    MainWindow window(session, messages);
    window.show();
    window.startUp(options.files);
    return QApplication::exec();
}

}  // namespace kavlo
