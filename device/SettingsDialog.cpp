#include "SettingsDialog.h"

#include "DeviceSearch.h"
#include "SerialLink.h"

#include "ui/AppSettings.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString FindDeviceCaption()
{
    return QStringLiteral("Find Device");
}

} // namespace

SettingsDialog::SettingsDialog(SerialLink &link, ConnectionView &view, Dialogs &dialogs,
                               QWidget *parent)
    : QDialog(parent)
    , m_link(link)
    , m_view(view)
    , m_dialogs(dialogs)
    , m_cbComm(new QComboBox)
    , m_cmdFindDevice(new QPushButton(FindDeviceCaption()))
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));

    auto *frame = new QGroupBox(QStringLiteral("Communication Port"));
    m_cbComm->setObjectName(QStringLiteral("cbComm"));
    m_cbComm->setAccessibleName(frame->title());
    m_cmdFindDevice->setObjectName(QStringLiteral("cmdFindDevice"));
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_cbComm, 1);
    frameLayout->addWidget(m_cmdFindDevice);

    auto *cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    for (int port = 1; port <= PortCount; ++port)
        m_cbComm->addItem(QStringLiteral("COM%1").arg(port));
    // A saved "0" (search all ports) selects nothing.
    m_cbComm->setCurrentIndex(SavedCommPort(1) - 1);

    connect(m_cmdFindDevice, &QPushButton::clicked, this, &SettingsDialog::findDevice);
    connect(cmdOK, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &SettingsDialog::reject);
}

void SettingsDialog::findDevice()
{
    m_cmdFindDevice->setEnabled(false);
    m_cmdFindDevice->setText(QStringLiteral("Looking for Device..."));
    QCoreApplication::processEvents();

    AppSettings::Open().setValue(QLatin1StringView(AppSettings::CommPort), QStringLiteral("0"));
    ConnectDevice(m_link, m_view);

    const int port = SavedCommPort(1);
    if (port == 0) {
        m_dialogs.message(this, FindDeviceCaption(), QStringLiteral("Device couldn't be found."),
                          Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    } else {
        m_cbComm->setCurrentIndex(port - 1);
    }

    m_cmdFindDevice->setEnabled(true);
    m_cmdFindDevice->setText(FindDeviceCaption());
}

void SettingsDialog::accept()
{
    AppSettings::Open().setValue(QLatin1StringView(AppSettings::CommPort),
                                 QString::number(m_cbComm->currentIndex() + 1));
    ConnectDevice(m_link, m_view);
    QDialog::accept();
}
