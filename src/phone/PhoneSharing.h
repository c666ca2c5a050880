#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>

#include <functional>

class QWidget;

namespace korbana {

class Dialogs;
class DocumentShoppingSource;
class ListDocument;
class PhoneServer;

// The window's way to the phone: starts sharing the document's shopping list and shows where to find it.
class PhoneSharing final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneSharing)

public:
    PhoneSharing(ListDocument& document, Dialogs& dialogs, QWidget* window);
    ~PhoneSharing() override;

    // Starts sharing unless it is on, and shows the dialog; its "Beenden" ends sharing.
    void share();
    PhoneServer& server() const { return *m_server; }
    // Where to listen; the home network's addresses unless a test says otherwise.
    void setAddresses(std::function<QList<QHostAddress>()> addresses) { m_addresses = std::move(addresses); }

private:
    Dialogs& m_dialogs;
    QWidget* m_window;
    DocumentShoppingSource* m_source;
    PhoneServer* m_server;
    std::function<QList<QHostAddress>()> m_addresses;
};

} // namespace korbana
