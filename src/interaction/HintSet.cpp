#include "interaction/HintSet.h"

#include <QTextDocument>

namespace quantaro {

QString ToolTipText(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

void HintSet::add(QWidget* widget, const QString& hint, bool shownNow) {
    entries_.push_back({widget, ToolTipText(hint)});
    widget->setToolTip(shownNow ? entries_.back().hint : QString());
}

void HintSet::setShown(bool shown) {
    for (const Entry& entry : entries_) {
        if (entry.widget) entry.widget->setToolTip(shown ? entry.hint : QString());
    }
}

}  // namespace quantaro
