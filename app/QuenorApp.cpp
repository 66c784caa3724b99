#include "app/QuenorApp.h"

#include "app/EditorTexts.h"
#include "app/FrmLoad.h"
#include "app/FrmMain.h"
#include "ui/Dialogs.h"

#include <QCoreApplication>

QuenorApp::QuenorApp(Dialogs &dialogs, const QString &appFolder, int replyPeriodMs)
    : m_dialogs(dialogs)
    , m_appFolder(appFolder)
    , m_replyPeriodMs(replyPeriodMs)
{}

QuenorApp::~QuenorApp() = default;

void QuenorApp::Start()
{
    m_dialogs.message(nullptr, QStringLiteral("Quenor"), SafetyNotice(), Dialogs::Icon::Exclamation,
                      Dialogs::Buttons::Ok);

    auto frmLoad = std::make_unique<FrmLoad>();
    frmLoad->ShowPainted();

    m_main = std::make_unique<FrmMain>(m_store, m_dialogs, m_replyPeriodMs);
    QObject::connect(m_main.get(), &FrmMain::ended, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    m_main->Load(m_appFolder, [&frmLoad] { frmLoad->ProgressStep(); });

    frmLoad.reset();
    m_main->show();
}
