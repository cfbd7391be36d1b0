#include "ui/FormulaStacks.h"

#include <algorithm>

namespace quantaro {

void FormulaStack::InitFormulas() {
    slots_.fill(QString());
}

void FormulaStack::PushFormula(const QString& text) {
    std::move_backward(slots_.begin(), slots_.end() - 1, slots_.end());
    slots_.front() = text;
}

QString FormulaStack::PopFormula() {
    QString top = std::move(slots_.front());
    std::move(slots_.begin() + 1, slots_.end(), slots_.begin());
    slots_.back() = QString();
    return top;
}

}  // namespace quantaro
