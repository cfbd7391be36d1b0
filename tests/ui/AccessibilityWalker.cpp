// Walks the accessibility tree of the one program on an AT-SPI bus as a screen
// reader does: every element is asked for all properties of each of its
// interfaces at once. After that first walk it
// chooses the menu items named on the command line, one after the other, and
// walks each window that opens. Last, it calls a method without its argument,
// which must be refused.
// A menu item written as =ITEM also has each window it opens checked for a
// screen reader's names: every control that takes the focus has a name of
// its own in its window (a combo box, which Qt on Linux names by its value,
// a label naming it instead).
//   accessibility_walker BUS_ADDRESS [[=]MENU_ITEM...]
// Exits 1 at the first call that fails or goes unanswered.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QMultiHash>
#include <QSet>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

const QString kRoot = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr uint kMenuItemRole = 35;
// The AT-SPI roles, state and relation the name check reads; items of a
// list or table are named by what they hold.
constexpr uint kComboBoxRole = 11;
constexpr uint kLabelRole = 29;
const QSet<uint> kItemRoles = {10, 32, 47, 56, 57, 58};
constexpr uint kFocusable = 1u << 11;
constexpr uint kLabelledByRelation = 2;

QDBusConnection* bus = nullptr;
QString program;                     // the program's unique name on the bus
QMultiHash<QString, QString> named;  // element paths by accessible name
QHash<QString, QString> nameOf;      // and names by path

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "FAIL: %s\n", qPrintable(what));
    std::exit(1);
}

QDBusMessage Message(const QString& path, const QString& interface, const QString& method,
                     const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(program, path, interface, method);
    message.setArguments(arguments);
    return message;
}

QVariant Call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments = {}) {
    const QDBusMessage reply =
        bus->call(Message(path, interface, method, arguments), QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        QStringList shown;
        for (const QVariant& argument : arguments) shown << argument.toString();
        Fail(QStringLiteral("%1 %2.%3(%4): %5")
                 .arg(path, interface, method, shown.join(u','), reply.errorMessage()));
    }
    return reply.arguments().constFirst();
}

// The elements of an a(so) reference list as (bus name, path) pairs.
QList<std::pair<QString, QString>> References(const QVariant& list) {
    QList<std::pair<QString, QString>> references;
    if (list.metaType() != QMetaType::fromType<QDBusArgument>()) return references;
    const auto argument = list.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QString name;
        QDBusObjectPath path;
        argument.beginStructure();
        argument >> name >> path;
        argument.endStructure();
        references.append({name, path.path()});
    }
    argument.endArray();
    return references;
}

QStringList Children(const QString& path) {
    QStringList children;
    for (const auto& [name, child] :
         References(Call(path, kAccessible, QStringLiteral("GetChildren"))))
        children << child;
    return children;
}

// The names of the elements that label the element (relations a(ua(so))).
QStringList LabelNames(const QString& path) {
    QStringList names;
    const auto set =
        Call(path, kAccessible, QStringLiteral("GetRelationSet")).value<QDBusArgument>();
    set.beginArray();
    while (!set.atEnd()) {
        uint type = 0;
        set.beginStructure();
        set >> type;
        for (const auto& [bus, target] : References(set.asVariant()))
            if (type == kLabelledByRelation) names << nameOf.value(target);
        set.endStructure();
    }
    set.endArray();
    return names;
}

// Every control of the window that takes the focus, but a list's or a
// table's items and a combo box's list, must have a name of its own.
void CheckNames(const QString& window) {
    QSet<QString> names;
    const std::function<void(const QString&)> check = [&](const QString& path) {
        const uint role = Call(path, kAccessible, QStringLiteral("GetRole")).toUInt();
        QList<uint> states;
        Call(path, kAccessible, QStringLiteral("GetState")).value<QDBusArgument>() >> states;
        if (role != kLabelRole && !kItemRoles.contains(role) && (states.value(0) & kFocusable)) {
            const QString name =
                role == kComboBoxRole ? LabelNames(path).join(u' ') : nameOf.value(path);
            if (name.isEmpty() || names.contains(name))
                Fail(QStringLiteral("%1: %2 of role %3 is named \"%4\", not by a name of its own")
                         .arg(nameOf.value(window), path)
                         .arg(role)
                         .arg(name));
            names.insert(name);
        }
        if (role == kComboBoxRole) return;
        for (const QString& child : Children(path))
            if (!child.endsWith(u"/null")) check(child);
    };
    check(window);
    std::printf("%s: %lld controls named\n", qPrintable(nameOf.value(window)),
                static_cast<long long>(names.size()));
}

// Every element under root, each asked for its properties; returns the count.
int Walk(const QString& root) {
    QStringList pending{root};
    QSet<QString> seen;
    while (!pending.isEmpty()) {
        const QString path = pending.takeLast();
        if (path.endsWith(u"/null") || seen.contains(path)) continue;
        seen.insert(path);
        const QStringList interfaces =
            Call(path, kAccessible, QStringLiteral("GetInterfaces")).toStringList();
        for (const QString& interface : interfaces) {
            const auto all = qdbus_cast<QVariantMap>(
                Call(path, kProperties, QStringLiteral("GetAll"), {interface}));
            if (interface == kAccessible && !(all.contains(QStringLiteral("Name")) &&
                                              all.contains(QStringLiteral("ChildCount"))))
                Fail(path + QStringLiteral(": GetAll lacks Name or ChildCount"));
            if (interface == kAccessible) {
                named.insert(all.value(QStringLiteral("Name")).toString(), path);
                nameOf.insert(path, all.value(QStringLiteral("Name")).toString());
            }
        }
        pending << Children(path);
    }
    return seen.size();
}

// The program's windows, once it has registered and shown at least one.
QStringList Windows() {
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        const QDBusMessage reply = bus->call(
            QDBusMessage::createMethodCall(QStringLiteral("org.a11y.atspi.Registry"), kRoot,
                                           kAccessible, QStringLiteral("GetChildren")));
        const auto programs = References(reply.arguments().value(0));
        if (!programs.isEmpty()) {
            program = programs.constFirst().first;
            if (const QStringList windows = Children(kRoot); !windows.isEmpty()) return windows;
        }
        QThread::msleep(100);
    }
    Fail(QStringLiteral("no program with a window registered on the bus"));
}

// Chooses the menu item through its Action interface, without waiting, since
// the item may open a modal dialog that answers only when it is closed.
void Choose(const QString& item) {
    for (const QString& path : named.values(item)) {
        if (Call(path, kAccessible, QStringLiteral("GetRole")).toUInt() != kMenuItemRole) continue;
        bus->send(Message(path, QStringLiteral("org.a11y.atspi.Action"), QStringLiteral("DoAction"),
                          {0}));
        return;
    }
    Fail(QStringLiteral("no menu item named \"%1\"").arg(item));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 2) Fail(QStringLiteral("usage: accessibility_walker BUS_ADDRESS [MENU_ITEM...]"));
    QDBusConnection connection =
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("walker"));
    bus = &connection;
    if (!connection.isConnected()) Fail(QStringLiteral("cannot connect to ") + argv[1]);

    QStringList windows = Windows();
    int elements = Walk(kRoot);
    for (int i = 2; i < argc; ++i) {
        QString item = QString::fromLocal8Bit(argv[i]);
        const bool checkNames = item.startsWith(u'=');
        if (checkNames) item.remove(0, 1);
        Choose(item);
        QStringList opened;
        for (const QDeadlineTimer deadline(10000); opened.isEmpty() && !deadline.hasExpired();) {
            QThread::msleep(50);
            for (const QString& window : Children(kRoot))
                if (!windows.contains(window)) opened << window;
        }
        if (opened.isEmpty()) Fail(QStringLiteral("\"%1\" opened no window").arg(item));
        for (const QString& window : opened) {
            elements += Walk(window);
            if (checkNames) CheckNames(window);
        }
        windows << opened;
    }
    const QDBusMessage refused =
        bus->call(Message(kRoot, kAccessible, QStringLiteral("GetChildAtIndex")));
    if (refused.errorName() != u"org.freedesktop.DBus.Error.InvalidArgs")
        Fail(QStringLiteral("GetChildAtIndex without an index: ") + refused.errorMessage());
    std::printf("walked %d elements in %lld windows\n", elements,
                static_cast<long long>(windows.size()));
    return 0;
}
