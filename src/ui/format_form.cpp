#include "format_form.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
#include <optional>

#include "checker_help_text.h"
#include "core/decimal_number.h"
#include "core/format_fields.h"
#include "core/format_reader.h"
#include "core/messages.h"
#include "core/value_line.h"

namespace kavlo {
namespace {

// Shows and reads numbers as the files write them: the shortest text that reads back.
class SingleSpinBox : public QDoubleSpinBox {
  public:
    explicit SingleSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
        setDecimals(std::numeric_limits<double>::max_exponent10 +
                    std::numeric_limits<double>::digits10);
    }

  protected:
    QString textFromValue(double value) const override {
        return QString::fromStdString(shortestSingleText(static_cast<float>(value)));
    }
    double valueFromText(const QString& text) const override {
        return parseSingle(text.trimmed().toStdString()).value_or(0);
    }
    QValidator::State validate(QString& text, int&) const override {
        return parseSingle(text.trimmed().toStdString()) ? QValidator::Acceptable
                                                         : QValidator::Intermediate;
    }
};

// The help pane's lines for `name`: its own line and the indented ones under it.
QString helpFor(const char* name) {
    const QString head = QString("   ") + name + " (";
    QStringList lines;
    for (const char* raw : checkerHelpLines()) {
        const QString line = QString::fromUtf8(raw);
        if (lines.isEmpty()) {
            if (line.startsWith(head)) {
                lines << line.trimmed();
            }
        } else if (line.startsWith("     ") || line.startsWith("   　") ||
                   line.startsWith("      ")) {
            lines << line.trimmed();
        } else {
            break;
        }
    }
    return lines.join('\n');
}

// The value `field` holds in `line` as written, or nothing when the line has none.
std::optional<std::string> writtenValue(const std::string& line, const FormatField& field) {
    ValueLine reader(line);
    for (int i = 0; i < field.position; ++i) {
        reader.nextToken();
    }
    if (field.kind == FieldKind::Text) {
        return reader.nextText();
    }
    const auto token = reader.nextToken();
    if (token.kind != ValueLine::Kind::Value) {
        return std::nullopt;
    }
    return std::string(token.text);
}

QWidget* controlFor(const FormatField& field, QWidget* parent) {
    switch (field.kind) {
        case FieldKind::Single: {
            auto* box = new SingleSpinBox(parent);
            box->setRange(field.minimum, field.maximum);
            return box;
        }
        case FieldKind::Integer: {
            auto* box = new QSpinBox(parent);
            box->setRange(static_cast<int>(field.minimum), static_cast<int>(field.maximum));
            return box;
        }
        case FieldKind::Choice: {
            auto* list = new QComboBox(parent);
            // The list shows its entries whole; the closed box need not widen the form.
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(12);
            for (const FieldChoice& choice : field.choices) {
                list->addItem(
                    QString::number(choice.value) + " : " + QString::fromUtf8(choice.description),
                    choice.value);
            }
            return list;
        }
        case FieldKind::Text: {
            auto* edit = new QLineEdit(parent);
            // A double quote cannot always be written back into the line.
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[^\"]*"), edit));
            return edit;
        }
    }
    return nullptr;
}

}  // namespace

FormatForm::FormatForm(QPlainTextEdit* editor, QWidget* parent)
    : QWidget(parent), editor_(editor), check_(new QLabel(this)) {
    setObjectName("formatForm");
    check_->setObjectName("formatCheck");
    check_->setAccessibleName("検査");
    check_->setWordWrap(true);
    check_->setTextFormat(Qt::PlainText);
    auto* inner = new QWidget;
    auto* rows = new QFormLayout(inner);
    for (const FormatField& field : formatFields()) {
        QWidget* control = controlFor(field, inner);
        control->setObjectName(QString("field") + field.name);
        control->setAccessibleName(field.name);
        control->setToolTip(helpFor(field.name));
        auto* label = new QLabel(field.name, inner);
        label->setBuddy(control);
        rows->addRow(label, control);
        controls_.push_back(control);
        const FormatField* f = &field;
        if (auto* box = qobject_cast<QDoubleSpinBox*>(control)) {
            connect(box, &QDoubleSpinBox::valueChanged, this, [this, f](double value) {
                write(*f, QString::fromStdString(shortestSingleText(static_cast<float>(value))));
            });
        } else if (auto* box = qobject_cast<QSpinBox*>(control)) {
            connect(box, &QSpinBox::valueChanged, this,
                    [this, f](int value) { write(*f, QString::number(value)); });
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            connect(list, &QComboBox::activated, this, [this, f, list](int index) {
                write(*f, QString::number(list->itemData(index).toInt()));
            });
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, f](const QString& text) { write(*f, text); });
        }
    }
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("formatFormScroll");
    scroll->setAccessibleName("フォーム");
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(check_);
    layout->addWidget(scroll);
    connect(editor_, &QPlainTextEdit::textChanged, this, &FormatForm::showText);
    connect(editor_, &QPlainTextEdit::textChanged, this, &FormatForm::showCheck);
    showText();
    showCheck();
}

void FormatForm::showCheck() {
    RecordedMessages messages;
    // The slot only titles the messages, and the line shows their texts alone.
    readFormatText(1, editor_->toPlainText().toStdString(), messages);
    QStringList texts;
    for (const Message& message : messages.messages) {
        texts << QString::fromStdString(message.text);
    }
    check_->setText(texts.isEmpty() ? "フォーマットデータに問題はありません。" : texts.join('\n'));
}

void FormatForm::setReadOnly(bool readOnly) {
    for (QWidget* control : controls_) {
        if (auto* box = qobject_cast<QAbstractSpinBox*>(control)) {
            box->setReadOnly(readOnly);
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setReadOnly(readOnly);
        } else {
            control->setEnabled(!readOnly);
        }
    }
}

// Shows what the text holds. A value the text lacks shows as zero or the lowest the control
// takes, and one the reader would correct as the nearest it keeps: the text is left alone.
void FormatForm::showText() {
    if (showing_) {
        return;
    }
    showing_ = true;
    const QTextDocument* document = editor_->document();
    const auto fields = formatFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FormatField& field = fields[i];
        const QTextBlock block = document->findBlockByNumber(field.line - 1);
        const auto written =
            block.isValid() ? writtenValue(block.text().toStdString(), field) : std::nullopt;
        QWidget* control = controls_[i];
        if (auto* box = qobject_cast<QDoubleSpinBox*>(control)) {
            const auto value = written ? parseSingle(*written) : std::nullopt;
            box->setValue(value.value_or(0));
        } else if (auto* box = qobject_cast<QSpinBox*>(control)) {
            const auto value = written ? parseInt16(*written) : std::nullopt;
            box->setValue(value.value_or(static_cast<std::int16_t>(field.minimum)));
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            const auto value = written ? parseInt16(*written) : std::nullopt;
            list->setCurrentIndex(value ? list->findData(static_cast<int>(*value)) : -1);
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(QString::fromStdString(written.value_or(std::string())));
        }
    }
    showing_ = false;
}

// Replaces only the characters of the value that differ, so the rest of the line, and every
// other line, stays as typed.
void FormatForm::write(const FormatField& field, const QString& value) {
    if (showing_ || editor_->isReadOnly()) {
        return;
    }
    const QTextBlock block = editor_->document()->findBlockByNumber(field.line - 1);
    if (!block.isValid()) {
        return;
    }
    const QString before = block.text();
    const auto edited = replaceValue(before.toStdString(), field.position,
                                     field.kind == FieldKind::Text, value.toStdString());
    if (!edited) {
        return;
    }
    const QString after = QString::fromStdString(*edited);
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    if (head == before.size() && head == after.size()) {
        return;
    }
    QTextCursor cursor(editor_->document());
    cursor.setPosition(block.position() + static_cast<int>(head));
    cursor.setPosition(block.position() + static_cast<int>(before.size() - tail),
                       QTextCursor::KeepAnchor);
    showing_ = true;
    cursor.insertText(after.mid(head, after.size() - head - tail));
    showing_ = false;
}

}  // namespace kavlo
