#include "ui/FormulaStacks.h"

#include <algorithm>

namespace quantaro {
namespace {

// A packed text that starts with this byte is compressed; no UTF-8 text
// starts with it.
constexpr char kCompressed = '\xFF';
constexpr qsizetype kCompressFrom = 64 * 1024;

}  // namespace

QByteArray PackFormula(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() < kCompressFrom) return utf8;
    // The fastest level: it still shrinks a formula several times over.
    return kCompressed + qCompress(utf8, 1);
}

QString UnpackFormula(const QByteArray& packed) {
    if (!packed.startsWith(kCompressed)) return QString::fromUtf8(packed);
    return QString::fromUtf8(
        qUncompress(reinterpret_cast<const uchar*>(packed.constData()) + 1, packed.size() - 1));
}

void FormulaStack::InitFormulas() {
    slots_.fill(QByteArray());
}

void FormulaStack::PushFormula(const QByteArray& utf8) {
    std::move_backward(slots_.begin(), slots_.end() - 1, slots_.end());
    slots_.front() = utf8;
}

QByteArray FormulaStack::PopFormula() {
    QByteArray top = std::move(slots_.front());
    std::move(slots_.begin() + 1, slots_.end(), slots_.begin());
    slots_.back() = QByteArray();
    return top;
}

}  // namespace quantaro
