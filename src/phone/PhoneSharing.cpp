#include "PhoneSharing.h"

#include "DocumentShoppingSource.h"
#include "PhoneDialog.h"
#include "PhoneServer.h"
#include "ui/Dialogs.h"

namespace korbana {

PhoneSharing::PhoneSharing(ListDocument& document, Dialogs& dialogs, QWidget* window)
    : QObject(window)
    , m_dialogs(dialogs)
    , m_window(window)
    , m_source(new DocumentShoppingSource(document, this))
    , m_server(new PhoneServer(*m_source, this))
    , m_addresses(&PhoneServer::localNetworkAddresses)
{
}

PhoneSharing::~PhoneSharing()
{
    // Nothing listens once the window is gone.
    m_server->stop();
}

void PhoneSharing::share()
{
    const QString title = QStringLiteral("Aufs Telefon");
    if (!m_server->isRunning()) {
        const QList<QHostAddress> addresses = m_addresses();
        if (addresses.isEmpty()) {
            m_dialogs.error(m_window,
                QStringLiteral("Kein Heimnetz gefunden. Verbinden Sie den Computer mit dem Netz, in dem auch das "
                               "Telefon ist."),
                title);
            return;
        }
        if (!m_server->start(addresses)) {
            m_dialogs.error(
                m_window, QStringLiteral("Die Liste konnte nicht im Heimnetz bereitgestellt werden."), title);
            return;
        }
    }
    PhoneDialog dialog(*m_server, m_window);
    if (m_dialogs.exec(&dialog) == PhoneDialog::kEndSharing)
        m_server->stop();
}

} // namespace korbana
