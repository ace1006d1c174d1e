#include "HEdit.h"
#include "HQtText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPalette>

namespace {

constexpr char32_t kBackspace = 0x08;
constexpr char32_t kTab = 0x09;
constexpr char32_t kEnter = 0x0D;
constexpr char32_t kEscape = 0x1B;

// Colours are kept as 0xRRGGBB.
QColor ColorOf(std::uint32_t rgb) {
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

// The character a key stands for, as the rules know it; 0 for keys that type
// nothing (arrows, F-keys, Home ...).
char32_t KeyCharacter(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Escape:
        return kEscape;
    default:
        break;
    }
    const QList<uint> text = event->text().toUcs4();
    if (text.isEmpty() || text.front() < 0x20 || text.front() == 0x7F)
        return 0;
    return static_cast<char32_t>(text.front());
}

} // namespace

HEdit::HEdit(QWidget* parent) : HEdit(std::make_unique<HEditRules>(), parent) {}

HEdit::HEdit(std::unique_ptr<HEditRules> rules, QWidget* parent)
    : QLineEdit(parent), m_ownRules(std::move(rules)), m_rules(m_ownRules.get()) {
    ApplyColors();
}

HEdit::~HEdit() = default;

void HEdit::AttachRules(HEditRules& rules) {
    m_rules = &rules;
    ApplyColors();
    ShowRulesText();
}

void HEdit::SetColors(std::uint32_t background, std::uint32_t text) {
    m_rules->SetColors(background, text);
    ApplyColors();
}

void HEdit::ApplyColors() {
    // Only colours set away from the plain white/black follow the rules, so a
    // dark desktop theme keeps its own edit colours.
    if (m_rules->Background() == 0xFFFFFF && m_rules->TextColor() == 0x000000) {
        setPalette(QPalette());
        return;
    }
    QPalette p = palette();
    p.setColor(QPalette::Base, ColorOf(m_rules->Background()));
    p.setColor(QPalette::Text, ColorOf(m_rules->TextColor()));
    setPalette(p);
}

void HEdit::SetValue(double stored) {
    m_rules->SetValue(stored);
    ShowRulesText();
}

void HEdit::SetText(const QString& text) {
    m_rules->SetText(text.toStdString());
    ShowRulesText();
}

QString HEdit::GetText() const {
    m_rules->SetTypedText(text().toStdString());
    return ToQString(m_rules->GetText());
}

void HEdit::ShowRulesText() {
    const QString shown = ToQString(m_rules->Text());
    if (shown != text())
        setText(shown);
}

bool HEdit::Commit(const std::string& typed) {
    // A refusal's message box takes the focus from this control: that is no
    // second commit of the same text.
    if (m_committing)
        return true;
    bool taken = true;
    if (m_commitHandler) {
        m_committing = true;
        taken = m_commitHandler(typed);
        m_committing = false;
    } else {
        m_rules->SetTypedText(m_rules->IsNumeric() ? typed : m_rules->Filtered(typed));
        m_rules->Commit();
    }
    ShowRulesText();
    emit Committed();
    return taken;
}

bool HEdit::CommitTyping() {
    const std::string typed = text().toStdString();
    return typed == m_rules->Text() || Commit(typed);
}

void HEdit::InsertFiltered(const QString& text) {
    QString room;
    qsizetype length = this->text().toUcs4().size() - selectedText().toUcs4().size();
    for (uint ch : text.toUcs4()) {
        if (!m_rules->Accepts(static_cast<char32_t>(ch)) || !m_rules->HasRoom(std::size_t(length)))
            continue;
        const char32_t c = static_cast<char32_t>(ch);
        room += QString::fromUcs4(&c, 1);
        ++length;
    }
    if (!room.isEmpty())
        insert(room);
}

void HEdit::keyPressEvent(QKeyEvent* event) {
    // Pasting goes through the same filter and limit as typing.
    if (event->matches(QKeySequence::Paste)) {
        InsertFiltered(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    const char32_t ch = KeyCharacter(event);
    if (ch == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const std::string typed = text().toStdString();
    if (ch == kEnter && m_commitHandler) {
        // The editor's rules decide (and may refuse): the rules of the
        // control must not commit the text by themselves first.
        Commit(typed);
        event->accept();
        return;
    }
    if (ch == kEnter)
        m_rules->SetTypedText(typed);
    switch (m_rules->OnChar(ch, event->modifiers().testFlag(Qt::ControlModifier))) {
    case HKeyAction::Pass:
        QLineEdit::keyPressEvent(event);
        return;
    case HKeyAction::Drop:
        break;
    case HKeyAction::Insert:
        if (m_rules->HasRoom(std::size_t(text().toUcs4().size() - selectedText().toUcs4().size())))
            insert(QString::fromUcs4(&ch, 1));
        break;
    case HKeyAction::Restore:
        ShowRulesText();
        break;
    case HKeyAction::Commit:
        Commit(typed);
        break;
    }
    // Every key the rules handled stops here: Enter and Escape must not reach
    // the dialog (default button, Cancel).
    event->accept();
}

void HEdit::focusOutEvent(QFocusEvent* event) {
    CommitTyping();
    QLineEdit::focusOutEvent(event);
}

HTagEdit::HTagEdit(QWidget* parent) : HEdit(std::make_unique<HTagEditRules>(), parent) {
    SetFilter(HFilterMode::Tag);
}
