#pragma once
// The validated edit control: a line edit that asks its HEditRules about every
// typed character (filter by mode, length limit), puts the saved text back on
// Escape and commits on Enter (numbers converted and clamped). Enter never
// reaches the dialog, so it cannot close it. HTagEdit is the same control with
// the tag filter (mode 9).
#include "HEditRules.h"

#include <QLineEdit>

#include <functional>
#include <memory>
#include <string>

class HEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HEdit(QWidget* parent = nullptr);
    ~HEdit() override;

    // The rules the control follows. By default its own; an editor description
    // keeps the rules of its items, and the control then works on those.
    [[nodiscard]] HEditRules& Rules() { return *m_rules; }
    void AttachRules(HEditRules& rules);

    // Who commits a typed text, and whether it was taken. Without one the
    // control commits into its rules itself; an editor's front end routes it
    // to the editor instead, whose rules may refuse it.
    void SetCommitHandler(std::function<bool(const std::string&)> handler) {
        m_commitHandler = std::move(handler);
    }

    // The operations of the control, over its rules.
    void SetFilter(HFilterMode mode) { m_rules->SetFilter(mode); }
    void SetRange(double minimum, double maximum) { m_rules->SetRange(minimum, maximum); }
    void SetColors(std::uint32_t background, std::uint32_t text);
    void SetValue(double stored);
    void SetText(const QString& text);
    // The text cut to the maximum length.
    [[nodiscard]] QString GetText() const;

    // Shows the rules' text (after they changed it).
    void ShowRulesText();
    // Commits what is typed when it differs from what the rules show; false
    // when the commit was refused.
    bool CommitTyping();
    // Commits a text as typed; false when it was refused.
    bool CommitText(const std::string& typed) { return Commit(typed); }

signals:
    // Enter or leaving the control committed a typed text.
    void Committed();

protected:
    HEdit(std::unique_ptr<HEditRules> rules, QWidget* parent);
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Commit(const std::string& typed);
    void InsertFiltered(const QString& text);
    void ApplyColors();

    std::unique_ptr<HEditRules> m_ownRules;
    HEditRules* m_rules;
    std::function<bool(const std::string&)> m_commitHandler;
    bool m_committing = false;
};

class HTagEdit : public HEdit {
    Q_OBJECT
public:
    explicit HTagEdit(QWidget* parent = nullptr);
};
