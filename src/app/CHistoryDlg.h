#pragma once
// Radio > History...: every radio the history knows, found by a search field;
// the chosen radio's timeline; Compare between two of its versions through the
// Compare window; Open a version as the document; Download a version back into
// the radio (the caller runs the usual download, with its check and backup).
#include "HHistory.h"

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CHistoryDlg : public QDialog {
    Q_OBJECT
public:
    enum class Action { None, Open, Download };

    // `history` must outlive the dialog; `accessLevel` chooses what Compare shows.
    CHistoryDlg(HHistory& history, int accessLevel, QWidget* parent = nullptr);

    // Once the dialog is accepted: Open or Download, and that version.
    [[nodiscard]] Action Chosen() const { return m_action; }
    [[nodiscard]] const HMemoryImage& ChosenImage() const { return m_image; }
    [[nodiscard]] const QString& ChosenName() const { return m_chosenName; }

    // Shows only the radios whose serial, model, bench or user holds `text`.
    void Search(const QString& text);
    // The radio of that serial chosen in the list; false when it is not listed.
    bool ChooseRadio(const QString& serial);
    // Steps (from 1) of the timeline chosen.
    void ChooseSteps(const std::vector<int>& steps);

    [[nodiscard]] QTableWidget* Radios() const { return m_radios; }
    [[nodiscard]] QTableWidget* Timeline() const { return m_timeline; }
    [[nodiscard]] QPushButton* CompareButton() const { return m_compare; }
    [[nodiscard]] QPushButton* OpenButton() const { return m_open; }
    [[nodiscard]] QPushButton* DownloadButton() const { return m_download; }
    [[nodiscard]] QLabel* ProblemLabel() const { return m_problem; }

private:
    void LoadRadios();
    void FillRadios();
    void LoadTimeline();
    void UpdateButtons();
    [[nodiscard]] std::vector<int> ChosenSteps() const;
    // The image of step `step` (from 1) and its name; false (said) when none.
    bool StepImage(int step, HMemoryImage& image, QString& name);
    void OnCompare();
    void Choose(Action action);
    void ShowProblem(const std::string& error);

    HHistory& m_history;
    int m_level = 0;
    std::vector<HRadioSummary> m_all;
    std::vector<HHistoryRecord> m_steps;
    Action m_action = Action::None;
    HMemoryImage m_image{};
    QString m_chosenName;

    QLineEdit* m_search = nullptr;
    QTableWidget* m_radios = nullptr;
    QTableWidget* m_timeline = nullptr;
    QLabel* m_radioLabel = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_download = nullptr;
};
