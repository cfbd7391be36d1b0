#include "interaction/ContextHelp.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

#include "interaction/UserInteraction.h"

namespace quantaro {
namespace {

constexpr char kContextProperty[] = "quantaroHelpContext";
constexpr char kNamesHelpFileProperty[] = "quantaroNamesHelpFile";

}  // namespace

void ContextHelp::setContext(QObject* object, int context) {
    object->setProperty(kContextProperty, context);
}

int ContextHelp::contextOf(const QObject* object) {
    return object ? object->property(kContextProperty).toInt() : 0;
}

void ContextHelp::setNamesHelpFile(QWidget* window, bool names) {
    window->setProperty(kNamesHelpFileProperty, names);
}

int ContextHelp::contextForFocus(const QWidget* widget) {
    if (!widget || !widget->window()->property(kNamesHelpFileProperty).toBool()) return 0;
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (int context = contextOf(w)) return context;
    }
    return 0;
}

int ContextHelp::contextForMenuItem(const QAction* item, const QObject* menu) {
    if (int context = contextOf(item)) return context;
    return contextOf(menu);
}

HelpKeyFilter::HelpKeyFilter(UserInteraction& interaction, HelpFiles help, QObject* parent)
    : QObject(parent), interaction_(interaction), help_(std::move(help)) {}

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;

    // A key event travels from the focus widget up its parents; answer it
    // once, where it starts.
    int context = 0;
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        context = ContextHelp::contextForMenuItem(menu->activeAction(), menu);
    } else if (watched == QApplication::focusWidget()) {
        context = ContextHelp::contextForFocus(QApplication::focusWidget());
    } else {
        return false;
    }
    if (context != 0) help_.open(interaction_, context, QApplication::activeWindow());
    return true;
}

}  // namespace quantaro
