#include "tables/NameCompletions.h"

#include "tables/NameTableModel.h"

namespace quantaro {
namespace {

QString OperandsText(const std::string& count) {
    return count == "1"
               ? QStringLiteral("Operator, 1 operand")
               : QStringLiteral("Operator, %1 operands").arg(QString::fromStdString(count));
}

void AddMatches(const std::string& prefix, const NameTable& table, const QString& kind,
                std::vector<NameCompletion>& completions) {
    const bool isOperator = kind.isEmpty();
    for (int row = 1; row <= table.rowCount(); ++row) {
        const std::string& name = table.name(row);
        if (name.empty() || name.size() < prefix.size()) continue;
        if (FoldToUpper(std::string_view(name).substr(0, prefix.size())) != prefix) continue;
        if (isOperator) {
            completions.push_back(
                {QString::fromStdString(name), {}, {}, OperandsText(table.value(row))});
        } else {
            completions.push_back({QString::fromStdString(name), ShownCellText(table.value(row)),
                                   ShownCellText(table.cell(UnitsColumn, row)), kind});
        }
    }
}

}  // namespace

std::vector<NameCompletion> CompletionsFor(const QString& prefix, const NameTable& constants,
                                           const NameTable& variables, const NameTable& operators) {
    const std::string folded = FoldToUpper(prefix.toStdString());
    std::vector<NameCompletion> completions;
    AddMatches(folded, constants, QStringLiteral("Constant"), completions);
    AddMatches(folded, variables, QStringLiteral("Variable"), completions);
    AddMatches(folded, operators, {}, completions);
    return completions;
}

}  // namespace quantaro
