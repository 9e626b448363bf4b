#include "combo_label.h"

#include <QComboBox>
#include <QLabel>

namespace kavlo {

QLabel* comboLabel(const QString& caption, const QString& name, QComboBox* combo) {
    auto* label = new QLabel(caption, combo->parentWidget());
    label->setBuddy(combo);
    label->setAccessibleName(name);
    combo->setAccessibleName(name);
    return label;
}

}  // namespace kavlo
