#pragma once

#include <QTextBrowser>
#include <filesystem>

namespace kavlo {

// The help file shown at its contents.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // False when the file cannot be read.
    bool open(const QString& helpFile);
};

// The help file `Kavlo.hlp` of `folder`, else the one the program carries: a folder of the user's
// is not given one.
QString helpFileIn(const std::filesystem::path& folder);

}  // namespace kavlo
