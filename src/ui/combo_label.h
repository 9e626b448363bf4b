#pragma once

#include <QString>

class QComboBox;
class QLabel;

namespace kavlo {

// A caption shown before `combo` that names it. On Linux a screen reader names a combo box by
// the label it is the buddy of (the box's own name is the entry it shows), so the label carries
// the full `name` ("書式データファイルのドライブ") while it shows the short `caption`.
QLabel* comboLabel(const QString& caption, const QString& name, QComboBox* combo);

}  // namespace kavlo
