#pragma once

#include <QDialog>

class QLabel;

namespace korbana {

class PhoneServer;

// Shows where the phone finds the list while sharing lasts: the QR code, the address, the devices that have the
// page open. "Schließen" leaves sharing on; "Beenden" ends it.
class PhoneDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneDialog)

public:
    // The result of "Beenden".
    static constexpr int kEndSharing = 2;

    PhoneDialog(PhoneServer& server, QWidget* parent = nullptr);

    static QString devicesText(int count);

private:
    QLabel* m_devices = nullptr;
};

} // namespace korbana
