#include "ui/AccessibilityBridgeGuard.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <QXmlStreamReader>

namespace quantaro {

namespace {

// The bridge's connection to the accessibility bus, and the path under which
// it serves every accessible object.
const QString kBridgeConnection = QStringLiteral("a11y");
const QString kAccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// What the bridge declares for one interface: its properties and the types
// of each method's arguments.
struct Declaration {
    QStringList properties;
    QHash<QString, QString> arguments;  // by method
};
using Declarations = QHash<QString, Declaration>;  // by interface

// The interfaces in the bridge's introspection of one object.
Declarations Declared(const QString& introspection) {
    // The introspection is a run of <interface> elements without the
    // enclosing <node>.
    QXmlStreamReader reader(QStringLiteral("<node>") + introspection + QStringLiteral("</node>"));
    Declarations declared;
    Declaration* current = nullptr;
    QString method;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == u"interface") current = nullptr;
            if (reader.name() == u"method") method.clear();
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString name = attributes.value(QStringLiteral("name")).toString();
        if (reader.name() == u"interface") {
            current = &declared[name];
        } else if (!current) {
            continue;
        } else if (reader.name() == u"property") {
            current->properties.append(name);
        } else if (reader.name() == u"method") {
            method = name;
            current->arguments.insert(method, QString());
        } else if (reader.name() == u"arg" && !method.isEmpty() &&
                   attributes.value(QStringLiteral("direction")) != u"out") {
            current->arguments[method] += attributes.value(QStringLiteral("type"));
        }
    }
    return declared;
}

class BridgeGuard : public QDBusVirtualObject {
  public:
    // Lives as long as the bridge, as its child.
    explicit BridgeGuard(QDBusVirtualObject* bridge)
        : QDBusVirtualObject(bridge), bridge_(bridge) {}

    QString introspect(const QString& path) const override {
        return bridge_ ? bridge_->introspect(path) : QString();
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (!bridge_) return false;
        const QString interface = message.interface();
        const QString member = message.member();
        const QString signature = message.signature();
        if (interface == kProperties) {
            if (member == u"GetAll" && signature == u"s") return GetAll(message, connection);
            if (!(member == u"Get" && signature == u"ss") &&
                !(member == u"Set" && signature == u"ssv")) {
                return Refuse(message, connection);
            }
        } else {
            // Every object declares an interface alike, so one object's
            // declaration serves for all.
            if (!declared_.contains(interface))
                declared_.insert(Declared(introspect(message.path())));
            const Declaration declared = declared_.value(interface);
            if (declared.arguments.contains(member) &&
                declared.arguments.value(member) != signature)
                return Refuse(message, connection);
        }
        return bridge_->handleMessage(message, connection);
    }

  private:
    static bool Refuse(const QDBusMessage& message, const QDBusConnection& connection) {
        return connection.send(message.createErrorReply(
            QDBusError::InvalidArgs,
            QStringLiteral("%1.%2 does not take arguments of type \"%3\"")
                .arg(message.interface(), message.member(), message.signature())));
    }

    // Reads each property with a Get to this program's own name, which QtDBus
    // delivers in place, without the bus, and hands back the bridge's reply.
    bool GetAll(const QDBusMessage& message, const QDBusConnection& connection) {
        const QString interface = message.arguments().constFirst().toString();
        const Declarations declared = Declared(introspect(message.path()));
        if (!declared.contains(interface)) {
            return connection.send(message.createErrorReply(
                QDBusError::UnknownInterface,
                QStringLiteral("%1 has no interface %2").arg(message.path(), interface)));
        }
        QVariantMap values;
        for (const QString& name : declared.value(interface).properties) {
            QDBusMessage get = QDBusMessage::createMethodCall(
                connection.baseService(), message.path(), kProperties, QStringLiteral("Get"));
            get << interface << name;
            const QDBusMessage reply = connection.call(get);
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) continue;
            const QVariant value = reply.arguments().constFirst();
            if (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
                values.insert(name, value.value<QDBusVariant>().variant());
            } else if (value.isValid()) {
                values.insert(name, value);
            }
        }
        return connection.send(message.createReply(QVariant::fromValue(values)));
    }

    QPointer<QDBusVirtualObject> bridge_;
    Declarations declared_;  // every interface met so far
};

// Puts the wrapper in the place of the bridge's object, once.
void WrapBridge() {
    QDBusConnection bus(kBridgeConnection);
    if (!bus.isConnected()) return;
    auto* bridge = qobject_cast<QDBusVirtualObject*>(bus.objectRegisteredAt(kAccessiblePath));
    if (!bridge || dynamic_cast<BridgeGuard*>(bridge)) return;
    bus.unregisterObject(kAccessiblePath);
    bus.registerVirtualObject(kAccessiblePath, new BridgeGuard(bridge), QDBusConnection::SubPath);
}

// The bridge reports itself active just before it registers its object, so
// the wrapping waits for the event loop.
class BridgeActivation : public QAccessible::ActivationObserver {
  public:
    void accessibilityActiveChanged(bool active) override {
        if (active) QTimer::singleShot(0, QCoreApplication::instance(), WrapBridge);
    }
};

}  // namespace

void GuardAccessibilityBridge() {
    static BridgeActivation activation;
    QAccessible::installActivationObserver(&activation);
    WrapBridge();
}

}  // namespace quantaro
