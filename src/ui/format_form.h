#pragma once

#include <QWidget>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace kavlo {

struct FormatField;

// The values of a format file as one labelled control per field, kept in step with the text in
// `editor`: a change in the form is an edit of just that value in the editor's document, so
// the editor's undo and save take it as any typed edit.
class FormatForm : public QWidget {
    Q_OBJECT
  public:
    explicit FormatForm(QPlainTextEdit* editor, QWidget* parent = nullptr);

    void setReadOnly(bool readOnly);

  private:
    void showText();
    void showCheck();
    void write(const FormatField& field, const QString& value);

    QPlainTextEdit* editor_;
    // What reading the text as it stands says, as the check verb says it.
    QLabel* check_;
    std::vector<QWidget*> controls_;  // in the field table's order
    bool showing_ = false;
};

}  // namespace kavlo
