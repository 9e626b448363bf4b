#pragma once

#include <QTextBrowser>

namespace kavlo {

// The help file shown at its contents.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // False when the file cannot be read.
    bool open(const QString& helpFile);
};

}  // namespace kavlo
