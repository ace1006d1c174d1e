#pragma once
// File > Fleet Download...: the open document (or a data file) downloaded into
// radio after radio, each radio given its row of a roster (by its serial
// number, through the rules of rp57cli set) and keeping the settings named to
// keep; a live list of radios done, failed and skipped. Each radio goes
// through the usual transfer window and is recorded in the history with the
// values it was given.
#include "HMemoryImage.h"
#include "HRoster.h"

#include <QDialog>
#include <QString>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class CRP57App;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CFleetDownloadDlg : public QDialog {
    Q_OBJECT
public:
    // `document` is the open document's image, downloaded when no file is named.
    CFleetDownloadDlg(CRP57App& app, const HMemoryImage& document, QWidget* parent = nullptr);
    ~CFleetDownloadDlg() override;

    // Checks the choices (file, check before writing, roster, keep) and waits
    // for the first radio. False, with a message, when one is refused.
    bool Start();
    // Waits for no further radio; a radio being programmed goes on.
    void Stop();
    [[nodiscard]] bool IsRunning() const { return m_running; }

    [[nodiscard]] QLineEdit* FileEdit() const { return m_file; }
    [[nodiscard]] QLineEdit* RosterEdit() const { return m_roster; }
    [[nodiscard]] QLineEdit* KeepEdit() const { return m_keep; }
    [[nodiscard]] QCheckBox* BackupBox() const { return m_backup; }
    [[nodiscard]] QTableWidget* List() const { return m_list; }
    [[nodiscard]] QLabel* Summary() const { return m_summary; }
    [[nodiscard]] QPushButton* StartButton() const { return m_start; }
    [[nodiscard]] QPushButton* StopButton() const { return m_stopButton; }

    void reject() override; // stops first

private:
    void WaitForRadio();
    void OnRadio();
    void AddRow(const std::string& serial, const char* result, const std::string& message,
                const std::string& values);
    void UpdateState();
    bool Refuse(const QString& text);

    CRP57App& m_app;
    HMemoryImage m_document{};
    HMemoryImage m_prepared{};
    HRoster m_roster_;
    bool m_hasRoster = false;
    std::vector<std::string> m_keepKeys;
    bool m_running = false;
    bool m_inTransfer = false;
    int m_done = 0;
    int m_failed = 0;
    int m_skipped = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_waiter;

    QLineEdit* m_file = nullptr;
    QLineEdit* m_roster = nullptr;
    QLineEdit* m_keep = nullptr;
    QCheckBox* m_backup = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stopButton = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_summary = nullptr;
    QTableWidget* m_list = nullptr;
};
