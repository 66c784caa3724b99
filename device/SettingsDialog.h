#pragma once

#include <QDialog>

class ConnectionView;
class Dialogs;
class QComboBox;
class QPushButton;
class SerialLink;

// The port settings dialog frmSettings: the user picks the instrument's port
// (OK saves it and searches there) or lets "Find Device" scan all ports.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    SettingsDialog(SerialLink &link, ConnectionView &view, Dialogs &dialogs,
                   QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void findDevice();
    void accept() override;
    void reject() override;
    // A search keeps handling events while it waits for the instrument; until it
    // ends, the dialog neither closes nor starts another search.
    void setSearching(bool searching);

    SerialLink &m_link;
    ConnectionView &m_view;
    Dialogs &m_dialogs;
    QComboBox *m_cbComm;
    QPushButton *m_cmdFindDevice;
    QPushButton *m_cmdOK;
    QPushButton *m_cmdCancel;
    bool m_searching = false;
};
