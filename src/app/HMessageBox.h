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
// exactly went wrong) follows the message after a blank line. A question
// names its `safe` answer (see Ask).
QMessageBox::StandardButton Show(QWidget* parent, int id, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 const std::vector<std::string>& args = {},
                                 const std::string& detail = {},
                                 QMessageBox::StandardButton safe = QMessageBox::NoButton);

// Runs a question box whose Yes writes to a radio or gives up work: `safe` is
// its default button and holds the keyboard focus when the box shows, so that
// Enter and Return give the answer that changes nothing.
QMessageBox::StandardButton Ask(QMessageBox& box,
                                QMessageBox::StandardButton safe = QMessageBox::No);
// A Yes/No question with a text of its own (an editor's rule, the
// controller's), No being the safe answer; true is Yes. The box is named
// `name`, or "message<n>" when the text is the string table's message n.
bool AskYesNo(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
              const QString& name = {});
// The number of the string table's message that reads `text`; 0 for none.
[[nodiscard]] int IdOfText(const std::string& text);

} // namespace HMessageBox
