#pragma once
// Message boxes whose text comes from the string table by number.
#include "HPrompt.h"

#include <QMessageBox>
#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace HMessageBox {

// Caption of every message box of the program.
inline constexpr const char* kCaption = "RP57Win";

// The numbered text with its "%1".. arguments filled in, line breaks made plain "\n".
[[nodiscard]] QString Text(int id, const std::vector<std::string>& args = {});

// The Qt icon of a message the link or the alignment flows show.
[[nodiscard]] QMessageBox::Icon ToQtIcon(HMessageIcon icon);

// Shows message `id` modally and returns the button pressed. A `detail` (what
// exactly went wrong) follows the message after a blank line.
QMessageBox::StandardButton Show(QWidget* parent, int id, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 const std::vector<std::string>& args = {},
                                 const std::string& detail = {});

} // namespace HMessageBox
