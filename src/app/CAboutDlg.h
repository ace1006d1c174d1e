#pragma once
// The About dialog: the program's title and its compiled-in version texts.
#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // `title` is the main window's title for the access level in use.
    explicit CAboutDlg(const QString& title, QWidget* parent = nullptr);
    ~CAboutDlg() override;
};
