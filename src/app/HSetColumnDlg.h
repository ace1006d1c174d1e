#pragma once
// Edit > Set Column for Selected Channels: one column (power, bandwidth, a
// tone, a scan tick, TOT or squelch) and the value every selected channel
// takes in it.
#include "HChannelSheet.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;

class HSetColumnDlg : public QDialog {
    Q_OBJECT
public:
    // `channels`: how many channels the value goes to; `column`: the column
    // picked first (the current one when it can be set).
    HSetColumnDlg(const HChannels& model, int channels, int column, QWidget* parent = nullptr);

    [[nodiscard]] int Column() const;
    // The cell text of the chosen value.
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] QComboBox* ColumnList() const { return m_columns; }
    [[nodiscard]] QComboBox* ValueList() const { return m_values; }

private:
    void FillValues();

    const HChannels& m_model;
    QComboBox* m_columns;
    QComboBox* m_values;
    std::vector<HChannelSheet::HBulkChoice> m_choices;
};
