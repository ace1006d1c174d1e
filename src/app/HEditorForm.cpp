#include "HEditorForm.h"

#include "HEdit.h"
#include "HEditorGrid.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HValueCombo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kItemProperty = "hEditorItem";

} // namespace

HEditorForm::HEditorForm(HEditor& editor, QWidget* parent) : QWidget(parent), m_editor(editor) {
    setObjectName(QStringLiteral("HEditorForm%1").arg(editor.DialogId()));
    m_editor.SetPrompt(this);
    Build();
}

HEditorForm::~HEditorForm() {
    m_editor.SetPrompt(nullptr);
    // The controls go while the rows still exist: a focused edit that loses
    // its focus commits through this form.
    for (Row& r : m_rows) {
        delete r.control;
        delete r.label;
    }
    m_rows.clear();
}

void HEditorForm::Build() {
    const std::size_t count = m_editor.ItemCount();
    m_rows.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const HEditorItem& item = m_editor.Item(i);
        Row& r = m_rows[i];
        switch (item.kind) {
        case HItemKind::Combo: {
            auto* combo = new HValueCombo(this);
            connect(combo, &HValueCombo::UserPicked, this, [this, i](int index) {
                m_editor.UserSelect(i, index);
                Mirror();
            });
            r.control = combo;
            break;
        }
        case HItemKind::Edit: {
            HEdit* edit =
                item.edit.filter == HFilterMode::Tag ? new HTagEdit(this) : new HEdit(this);
            edit->AttachRules(m_editor.Edit(i));
            edit->SetCommitHandler([this, i](const std::string& typed) {
                m_refused = !m_editor.UserEdit(i, typed);
                return !m_refused;
            });
            connect(edit, &HEdit::Committed, this, &HEditorForm::Mirror);
            const int chars = static_cast<int>(
                item.edit.maxLength == 0 ? 10 : item.edit.maxLength + item.edit.unit.size());
            edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(chars + 2, 'M')));
            r.control = edit;
            break;
        }
        case HItemKind::Check: {
            auto* check = new QCheckBox(ToQString(item.label), this);
            connect(check, &QCheckBox::clicked, this, [this, i](bool checked) {
                m_editor.UserCheck(i, checked);
                Mirror();
            });
            r.control = check;
            break;
        }
        case HItemKind::Static:
            r.control = new QLabel(ToQString(item.label), this);
            break;
        case HItemKind::Grid: {
            HGridSource* source = m_editor.Grid(i);
            if (source == nullptr) {
                r.control = new QLabel(this); // an editor that owns no grid: nothing to show
                break;
            }
            auto* grid = new HEditorGrid(*source, ToQString(item.label), this);
            connect(grid, &HEditorGrid::CellsChanged, this, &HEditorForm::Mirror);
            r.control = grid;
            break;
        }
        case HItemKind::Button: {
            auto* button = new QPushButton(ToQString(item.label), this);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, i] {
                m_editor.UserPress(i);
                Mirror();
            });
            r.control = button;
            break;
        }
        }
        r.control->setObjectName(QStringLiteral("item%1").arg(i));
        r.control->setProperty(kItemProperty, static_cast<qulonglong>(i));
        if (item.kind == HItemKind::Combo || item.kind == HItemKind::Edit) {
            r.label = new QLabel(ToQString(item.label), this);
            r.label->setObjectName(QStringLiteral("label%1").arg(i));
            r.label->setProperty(kItemProperty, static_cast<qulonglong>(i));
            // The '&' letter of the label moves the focus to the control.
            r.label->setBuddy(r.control);
        }
    }
    LayOut(std::vector<bool>(count, true));
}

void HEditorForm::LayOut(const std::vector<bool>& shown) {
    // Hidden items take no place: the shown ones close up, so a dialog with
    // items hidden by the access level or the model has no empty rows.
    delete layout();
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    const auto count = static_cast<std::size_t>(std::count(shown.begin(), shown.end(), true));
    const std::size_t columns = count > kRowsPerColumn ? 2 : 1;
    const std::size_t perColumn = std::max<std::size_t>(1, (count + columns - 1) / columns);
    std::size_t place = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!shown[i])
            continue;
        const int row = static_cast<int>(place % perColumn);
        // Each column pair is label, control; a spacer column keeps pairs apart.
        const int col = static_cast<int>(place / perColumn) * 3;
        ++place;
        const Row& r = m_rows[i];
        if (r.label) {
            grid->addWidget(r.label, row, col);
            grid->addWidget(r.control, row, col + 1);
        } else {
            grid->addWidget(r.control, row, col, 1, 2);
        }
    }
    if (columns > 1)
        grid->setColumnMinimumWidth(2, 16);
    grid->setRowStretch(static_cast<int>(perColumn), 1);
    m_laidOut = shown;
}

void HEditorForm::Open() {
    m_editor.Open();
    Mirror();
    // Which cells take input depends on the records just read.
    for (const Row& r : m_rows)
        if (auto* grid = qobject_cast<HEditorGrid*>(r.control))
            grid->GoToFirstInputCell();
}

void HEditorForm::Mirror() {
    std::vector<bool> shown(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        shown[i] = m_editor.IsVisible(i);
    if (shown != m_laidOut)
        LayOut(shown);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row& r = m_rows[i];
        const bool visible = m_editor.IsVisible(i);
        const bool enabled = m_editor.IsEnabled(i);
        for (QWidget* w : {static_cast<QWidget*>(r.label), r.control}) {
            if (!w)
                continue;
            w->setVisible(visible);
            w->setEnabled(enabled);
        }
        switch (m_editor.Item(i).kind) {
        case HItemKind::Combo:
            static_cast<HValueCombo*>(r.control)->Mirror(m_editor.Combo(i));
            break;
        case HItemKind::Edit:
            static_cast<HEdit*>(r.control)->ShowRulesText();
            break;
        case HItemKind::Check:
            static_cast<QCheckBox*>(r.control)->setChecked(m_editor.IsChecked(i));
            break;
        case HItemKind::Static:
            static_cast<QLabel*>(r.control)->setText(ToQString(m_editor.StaticText(i)));
            break;
        case HItemKind::Grid:
            if (auto* grid = qobject_cast<HEditorGrid*>(r.control))
                grid->Mirror();
            break;
        case HItemKind::Button:
            break;
        }
    }
}

bool HEditorForm::CommitTyping() {
    // Every text still being typed is taken before any is committed: a
    // commit shows every item again, which would put the held text back
    // into an edit typed in but not yet committed.
    std::vector<std::pair<HEdit*, std::string>> typed;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_editor.Item(i).kind == HItemKind::Edit) {
            auto* edit = static_cast<HEdit*>(m_rows[i].control);
            if (edit->text().toStdString() != m_editor.Edit(i).Text())
                typed.emplace_back(edit, edit->text().toStdString());
        }
    bool taken = true;
    for (const auto& [edit, text] : typed)
        taken = edit->CommitText(text) && taken;
    for (const Row& r : m_rows)
        if (auto* grid = qobject_cast<HEditorGrid*>(r.control))
            taken = grid->CommitTyping() && !grid->TakeRefusal() && taken;
    Mirror();
    return taken;
}

int HEditorForm::Confirm() {
    // A typed value that was refused (and said so) keeps the form open: OK
    // must not close over a value the user believes stored. That includes a
    // refusal of the text the press of OK itself took the focus from; the
    // next OK, with nothing refused meanwhile, goes ahead.
    const bool refusedBefore = m_refused;
    m_refused = false;
    if (!CommitTyping() || refusedBefore) {
        HLOG_D2("%s: a typed value was refused; OK waits", m_editor.Caption().c_str());
        return 1;
    }
    const int result = m_editor.Confirm();
    if (result != 0) {
        HLOG_D2("%s: the editor's check refused OK (%d)", m_editor.Caption().c_str(), result);
        Mirror();
    }
    return result;
}

std::optional<std::size_t> HEditorForm::ItemOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w && w != this; w = w->parentWidget()) {
        const QVariant v = w->property(kItemProperty);
        if (v.isValid() && v.toULongLong() < m_rows.size())
            return static_cast<std::size_t>(v.toULongLong());
    }
    return std::nullopt;
}

std::uint32_t HEditorForm::HelpContextFor(const QWidget* focus) const {
    return m_editor.HelpContextId(ItemOf(focus));
}

QWidget* HEditorForm::Control(std::size_t item) const {
    return item < m_rows.size() ? m_rows[item].control : nullptr;
}

QWidget* HEditorForm::FirstInputControl() const {
    for (std::size_t i = 0; i < m_rows.size(); ++i) // a row per item
        if (m_rows[i].control != nullptr && m_editor.IsVisible(i) && m_editor.IsEnabled(i) &&
            m_editor.Item(i).kind != HItemKind::Static)
            return m_rows[i].control;
    return nullptr;
}

QLabel* HEditorForm::Label(std::size_t item) const {
    return item < m_rows.size() ? m_rows[item].label : nullptr;
}

HValueCombo* HEditorForm::Combo(std::size_t item) const {
    return qobject_cast<HValueCombo*>(Control(item));
}

HEdit* HEditorForm::EditControl(std::size_t item) const {
    return qobject_cast<HEdit*>(Control(item));
}

QCheckBox* HEditorForm::Check(std::size_t item) const {
    return qobject_cast<QCheckBox*>(Control(item));
}

bool HEditorForm::AskYesNo(std::string_view text) {
    return HMessageBox::AskYesNo(this, QMessageBox::Question, std::string(text));
}

void HEditorForm::ShowMessage(std::string_view text) {
    QMessageBox::warning(this, QString::fromLatin1(HMessageBox::kCaption), ToQString(text));
}
