#include "CAboutDlg.h"

#include "HLogPrint.h"
#include "HProgramDir.h"
#include "HStringTable.h"
#include "HVersionInfo.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(const QString& title, QWidget* parent) : QDialog(parent) {
    HLOG_D1("[FUNC IN]CAboutDlg::OnInitDialog");
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("About RP57"));

    HVersionInfo version;
    version.Read(HProgramDir::ExecutablePath());

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto* heading = new QLabel(title, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* texts = new QGridLayout;
    int row = 0;
    const auto addLine = [&](const QString& name, const std::string& value) {
        auto* valueLabel = new QLabel(QString::fromStdString(value), this);
        valueLabel->setObjectName(name);
        valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        texts->addWidget(new QLabel(name + QLatin1Char(':'), this), row, 0);
        texts->addWidget(valueLabel, row, 1);
        ++row;
    };
    addLine(QStringLiteral("Version"), HStringTable::Get(HStringTable::kVersion));
    addLine(QStringLiteral("File version"), version.GetFileVersion());
    addLine(QStringLiteral("Product"), version.GetProductName());
    addLine(QStringLiteral("Description"), version.GetFileDescription());
    addLine(QStringLiteral("Company"), version.GetCompanyName());
    addLine(QStringLiteral("Copyright"), version.GetLegalCopyright());
    texts->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

    auto* body = new QVBoxLayout;
    body->addWidget(heading);
    body->addLayout(texts);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(body, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
    HLOG_D1("[FUNC OUT]CAboutDlg::OnInitDialog");
}

CAboutDlg::~CAboutDlg() = default;
