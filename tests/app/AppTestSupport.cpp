#include "AppTestSupport.h"

#include "CPasswordDialog.h"

std::vector<AppTestRun>& AppTests() {
    static std::vector<AppTestRun> tests;
    return tests;
}

void ShootScreen(const QString& name) {
    const QString dir = qEnvironmentVariable("RP57_SCREEN_SHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(200);
    QProcess::execute(QStringLiteral("import"),
                      {QStringLiteral("-window"), QStringLiteral("root"),
                       dir + QLatin1Char('/') + name + QStringLiteral(".png")});
}

bool TempHome::Write(const char* name, const QByteArray& content) const {
    QFile file(QPath(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

QByteArray TempHome::Read(const char* name) const {
    QFile file(QPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

MessageAnswers::MessageAnswers(QMessageBox::StandardButton fallback) : m_fallback(fallback) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start();
}

void MessageAnswers::Poll() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible())
            continue;
        if (auto* dialog = qobject_cast<CPasswordDialog*>(widget); dialog && answerPasswords) {
            ++passwordAsked;
            if (!dialog->Prompt()->isHidden())
                passwordPrompt = dialog->Prompt()->text();
            if (passwords.isEmpty()) {
                dialog->reject();
            } else {
                dialog->findChild<QLineEdit*>()->setText(passwords.takeFirst());
                dialog->accept();
            }
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(widget);
        // Marked on the box itself: a later box may reuse a gone one's address.
        if (!box || box->property("answered").toBool())
            continue;
        box->setProperty("answered", true);
        asked << box->objectName();
        texts << box->text();
        details << box->informativeText();
        if (pressReturn) {
            QWidget* focus = box->focusWidget() ? box->focusWidget() : box;
            QTest::keyClick(focus, Qt::Key_Return);
            QAbstractButton* clicked = box->clickedButton();
            pressed << (clicked ? box->standardButton(clicked) : QMessageBox::NoButton);
            // Return that answered nothing must not leave the test waiting.
            if (box->isVisible())
                box->reject();
            return;
        }
        std::deque<QMessageBox::StandardButton>& queue =
            m_answers[box->objectName().mid(7).toInt()];
        QAbstractButton* button = nullptr;
        if (!queue.empty()) {
            button = box->button(queue.front());
            queue.pop_front();
        }
        if (!button && m_fallback != QMessageBox::NoButton)
            button = box->button(m_fallback);
        if (!button)
            button = box->escapeButton() ? box->escapeButton() : box->defaultButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().constFirst();
        if (button)
            button->click();
        return;
    }
}

RunningApp::RunningApp(int level, const QStringList& words) {
    QStringList all;
    if (level > 0)
        all << (level == 1 ? QStringLiteral("/manu") : QStringLiteral("/all"));
    all << words;
    ModalDriver<CPasswordDialog> password([level](CPasswordDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("edit1073")),
                         level == 1 ? QStringLiteral("Workshop Entry") : QStringLiteral("tovak"));
        dialog->accept();
    });
    ModalDriver<QMessageBox> warning([](QMessageBox* box) { box->accept(); },
                                     QStringLiteral("message142"));
    if (app.InitInstance(all)) {
        frame = app.MainFrame();
        doc = app.Document();
    }
}
