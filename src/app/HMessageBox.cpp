#include "HMessageBox.h"

#include "HStringTable.h"

#include <QAbstractButton>
#include <QTimer>

namespace HMessageBox {

QString Text(int id, const std::vector<std::string>& args) {
    QString text = QString::fromStdString(args.empty() ? HStringTable::Get(id)
                                                       : HStringTable::Format(id, args));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QMessageBox::Icon ToQtIcon(HMessageIcon icon) {
    switch (icon) {
    case HMessageIcon::Information:
        return QMessageBox::Information;
    case HMessageIcon::Exclamation:
        return QMessageBox::Warning;
    case HMessageIcon::Stop:
        return QMessageBox::Critical;
    case HMessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton Show(QWidget* parent, int id, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons,
                                 const std::vector<std::string>& args, const std::string& detail,
                                 QMessageBox::StandardButton safe) {
    QString text = Text(id, args);
    if (!detail.empty())
        text += QStringLiteral("\n\n") + QString::fromStdString(detail).replace(
                                             QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, QString::fromLatin1(kCaption), text, buttons, parent);
    box.setObjectName(QStringLiteral("message%1").arg(id));
    if (safe != QMessageBox::NoButton)
        return Ask(box, safe);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton Ask(QMessageBox& box, QMessageBox::StandardButton safe) {
    box.setDefaultButton(safe);
    // Return presses the button that has the focus, whichever is default:
    // once the box shows, the focus goes to the safe button again, whatever
    // took it on the way.
    QTimer::singleShot(0, &box, [&box, safe] {
        if (QAbstractButton* button = box.button(safe))
            button->setFocus(Qt::OtherFocusReason);
    });
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool AskYesNo(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
              const QString& name) {
    QMessageBox box(
        icon, QString::fromLatin1(kCaption),
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
        QMessageBox::Yes | QMessageBox::No, parent);
    if (!name.isEmpty())
        box.setObjectName(name);
    else if (const int id = IdOfText(text); id != 0)
        box.setObjectName(QStringLiteral("message%1").arg(id));
    return Ask(box) == QMessageBox::Yes;
}

int IdOfText(const std::string& text) {
    for (int id : HStringTable::Ids())
        if (HStringTable::Get(id) == text)
            return id;
    return 0;
}

} // namespace HMessageBox
