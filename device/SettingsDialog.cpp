#include "SettingsDialog.h"

#include "DeviceSearch.h"
#include "SerialLink.h"

#include "ui/AppSettings.h"
#include "ui/Dialogs.h"

#include <QCloseEvent>
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
    , m_cmdOK(new QPushButton(QStringLiteral("OK")))
    , m_cmdCancel(new QPushButton(QStringLiteral("Cancel")))
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

    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    for (int port = 1; port <= PortCount; ++port)
        m_cbComm->addItem(QStringLiteral("COM%1").arg(port));
    // A saved "0" (search all ports) selects nothing.
    m_cbComm->setCurrentIndex(SavedCommPort(1) - 1);

    connect(m_cmdFindDevice, &QPushButton::clicked, this, &SettingsDialog::findDevice);
    connect(m_cmdOK, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &SettingsDialog::reject);
}

void SettingsDialog::setSearching(bool searching)
{
    m_searching = searching;
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_cbComm, m_cmdFindDevice, m_cmdOK, m_cmdCancel})
        control->setEnabled(!searching);
}

void SettingsDialog::findDevice()
{
    if (m_searching)
        return;
    setSearching(true);
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

    m_cmdFindDevice->setText(FindDeviceCaption());
    setSearching(false);
}

void SettingsDialog::accept()
{
    if (m_searching)
        return;
    AppSettings::Open().setValue(QLatin1StringView(AppSettings::CommPort),
                                 QString::number(m_cbComm->currentIndex() + 1));
    setSearching(true);
    ConnectDevice(m_link, m_view);
    setSearching(false);
    QDialog::accept();
}

void SettingsDialog::reject()
{
    // Escape and the close box end here too.
    if (!m_searching)
        QDialog::reject();
}

void SettingsDialog::closeEvent(QCloseEvent *event)
{
    if (m_searching)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
