#include "PhoneDialog.h"

#include "PhoneServer.h"
#include "QrCode.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

namespace korbana {

PhoneDialog::PhoneDialog(PhoneServer& server, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Aufs Telefon"));
    setObjectName(QStringLiteral("phoneDialog"));
    auto* layout = new QVBoxLayout(this);

    auto* hint = new QLabel(QStringLiteral("Mit der Kamera des Telefons scannen. Telefon und Computer müssen im "
                                           "selben Heimnetz sein."),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    const QList<QHostAddress> hosts = server.addresses();
    QStringList urls;
    for (const QHostAddress& host : hosts)
        urls.append(server.pageUrl(host).toString());

    auto* code = new QLabel(this);
    code->setObjectName(QStringLiteral("qrCode"));
    code->setAlignment(Qt::AlignCenter);
    if (!urls.isEmpty())
        code->setPixmap(QPixmap::fromImage(qrCodeImage(urls.first().toUtf8())));
    code->setAccessibleName(QStringLiteral("QR-Code der Adresse"));
    layout->addWidget(code);

    auto* address = new QLabel(urls.join(u'\n'), this);
    address->setObjectName(QStringLiteral("phoneAddress"));
    address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    address->setAlignment(Qt::AlignCenter);
    layout->addWidget(address);

    m_devices = new QLabel(devicesText(server.deviceCount()), this);
    m_devices->setObjectName(QStringLiteral("phoneDevices"));
    layout->addWidget(m_devices);
    connect(&server, &PhoneServer::deviceCountChanged, m_devices,
        [label = m_devices](int count) { label->setText(devicesText(count)); });

    auto* ending = new QLabel(
        QStringLiteral("Die Freigabe endet mit „Beenden“, mit dem Programmfenster oder nach 12 Stunden."), this);
    ending->setWordWrap(true);
    layout->addWidget(ending);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::AcceptRole);
    close->setObjectName(QStringLiteral("phoneCloseButton"));
    QPushButton* end = buttons->addButton(QStringLiteral("Beenden"), QDialogButtonBox::DestructiveRole);
    end->setObjectName(QStringLiteral("phoneEndButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(end, &QPushButton::clicked, this, [this] { done(kEndSharing); });
    // Sharing that ends by itself (after its time) closes the dialog too.
    connect(&server, &PhoneServer::stopped, this, [this] { done(kEndSharing); });
    layout->addWidget(buttons);
}

QString PhoneDialog::devicesText(int count)
{
    return QStringLiteral("Geräte mit geöffneter Liste: %1").arg(count);
}

} // namespace korbana
