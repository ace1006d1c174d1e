#pragma once
// The tone selection dialog of the channel grid's sub-audio cells (Enter on a
// tone cell): the standard choices of one side, the cell's own value selected.
#include <QDialog>
#include <QStringList>

class QListWidget;

class CToneDlg : public QDialog {
    Q_OBJECT
public:
    CToneDlg(const QString& title, const QStringList& choices, int selected,
             QWidget* parent = nullptr);

    // The chosen entry; -1 when none is selected.
    [[nodiscard]] int Selected() const;
    [[nodiscard]] QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list;
};
