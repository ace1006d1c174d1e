#include "AppTestSupport.h"

#include "CPasswordDialog.h"
#include "HHardwareGroup.h"
#include "HTransferSteps.h"

std::vector<AppTestRun>& AppTests() {
    static std::vector<AppTestRun> tests;
    return tests;
}

namespace {
// Where screenshots go: set RP57_SHOT_DIR to look at the windows.
QString ShotPath(const QString& name) {
    const QString dir = qEnvironmentVariable("RP57_SHOT_DIR");
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name + QStringLiteral(".png");
}
} // namespace

void ShootScreen(const QString& name) {
    const QString path = ShotPath(name);
    if (path.isEmpty())
        return;
    QTest::qWait(200);
    QProcess::execute(QStringLiteral("import"),
                      {QStringLiteral("-window"), QStringLiteral("root"), path});
}

void SaveShot(QWidget* widget, const QString& name) {
    if (const QString path = ShotPath(name); !path.isEmpty())
        widget->grab().save(path);
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

void GiveDisplay(HMemoryImage& image) {
    HHardwareGroup hardware;
    hardware.Load(image);
    hardware.SetValue(HHardwareGroup::kRowDisplayHandheld, 1);
    hardware.SetValue(HHardwareGroup::kRowDisplayMobile, 1);
    hardware.Save(image);
}

KeyboardApp::KeyboardApp(int level, const std::function<void(HMemoryImage&)>& prepare)
    : run(level) {
    if (run.frame == nullptr)
        return;
    GiveDisplay(run.doc->Image());
    if (prepare) {
        prepare(run.doc->Image());
        // As after opening a file of that set: the channel grid shows it.
        emit run.doc->ImageLoaded();
        run.frame->SendViewRefresh();
    }
}

bool KeyboardApp::Activate() {
    run.frame->activateWindow();
    return QTest::qWaitForWindowActive(run.frame);
}

QDialog* WaitForActiveDialog() {
    QDialog* found = nullptr;
    const bool up = QTest::qWaitFor(
        [&found] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible())
                    found = d;
            return found != nullptr;
        },
        5000);
    if (!up)
        return nullptr;
    found->activateWindow();
    return QTest::qWaitForWindowActive(found) ? found : nullptr;
}

QString Mnemonic(const QString& text) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    return key.isEmpty() ? QString()
                         : QKeySequence(key[0].key()).toString(QKeySequence::PortableText);
}

QStringList Twice(const std::map<QString, QStringList>& entries) {
    QStringList out;
    for (const auto& [letter, texts] : entries)
        if (texts.size() > 1)
            out << letter + QStringLiteral(": ") + texts.join(QStringLiteral(", "));
    return out;
}

HMemoryImage FactoryRadio() {
    HMemoryImage m = BuildDefaultImage();
    m[2] = 5; // production code: mobile
    m[3] = 0; // custom code
    HTransferSteps::CleanImage(m);
    m[HImageMap::EepromWordOffset(0xFF)] = 0xA5;
    m[HImageMap::EepromWordOffset(0xFF) + 1] = 0x5A;
    return m;
}

SimRadio::SimRadio(const TempHome& home, const std::optional<HMemoryImage>& memory,
                   const QStringList& extra, QString name)
    : m_home(home), m_name(std::move(name)) {
    m_ok = !memory || HDataFile::Write(File(".mem").toStdString(), *memory).Ok();
    m_process.start(QStringLiteral(RP57_RADIO_SIM),
                    QStringList{"--memory", File(".mem"), "--link", Link(), "--log", File(".log")} +
                        extra);
    m_ok = m_ok && m_process.waitForStarted(10000);
    // Bounded so a broken simulator cannot hang the suite.
    for (int i = 0; m_ok && i < 1000 && !QFileInfo(Link()).isSymLink(); ++i)
        QTest::qWait(10);
}

void SimRadio::Stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate(); // the radio saves what was written
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
}

HMemoryImage SimRadio::StopAndRead() {
    Stop();
    HMemoryImage m{};
    (void)HDataFile::Read(File(".mem").toStdString(), m);
    return m;
}

QStringList SimRadio::Sent(const QString& start) const {
    QStringList out;
    QFile log(File(".log"));
    (void)log.open(QIODevice::ReadOnly);
    for (const QString& line : QString::fromUtf8(log.readAll()).split('\n')) {
        const qsizetype at = line.indexOf(QStringLiteral("PC>RADIO "));
        if (at >= 0 && line.mid(at + 9).startsWith(start))
            out << line.mid(at + 9).section(QStringLiteral("  "), 0, 0);
    }
    return out;
}

QString SimRadio::ReadBlocks(const char* area) const {
    QStringList blocks;
    for (const QString& frame : Sent(QLatin1String(area) + QStringLiteral(" 02 ")))
        blocks << frame.section(QLatin1Char(' '), 2, 2);
    return blocks.join(QLatin1Char(' '));
}
