#include "HMessageBox.h"

#include "HStringTable.h"

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
                                 const std::vector<std::string>& args, const std::string& detail) {
    QString text = Text(id, args);
    if (!detail.empty())
        text += QStringLiteral("\n\n") + QString::fromStdString(detail).replace(
                                             QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, QString::fromLatin1(kCaption), text, buttons, parent);
    box.setObjectName(QStringLiteral("message%1").arg(id));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace HMessageBox
