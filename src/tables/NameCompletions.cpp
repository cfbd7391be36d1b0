#include "tables/NameCompletions.h"

#include <string_view>
#include <utility>

#include "tables/NameTableModel.h"

namespace quantaro {
namespace {

QString OperandsText(const std::string& count) {
    return count == "1"
               ? QStringLiteral("Operator, 1 operand")
               : QStringLiteral("Operator, %1 operands").arg(QString::fromStdString(count));
}

// The rows whose names begin with prefix, which is folded already.
std::vector<int> MatchingRows(const std::string& prefix, const NameTable& table) {
    std::vector<int> rows;
    for (int row = 1; row <= table.rowCount(); ++row) {
        const std::string_view name = table.name(row);
        if (!name.empty() && name.size() >= prefix.size() &&
            FoldToUpper(name.substr(0, prefix.size())) == prefix) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace

std::vector<NameCompletion> CompletionsFor(const QString& prefix, const NameTable& constants,
                                           const NameTable& variables, const NameTable& operators) {
    const std::string folded = FoldToUpper(prefix.toStdString());
    std::vector<NameCompletion> completions;
    for (const auto& [table, kind] : {std::pair{&constants, QStringLiteral("Constant")},
                                      std::pair{&variables, QStringLiteral("Variable")}}) {
        for (const int row : MatchingRows(folded, *table)) {
            completions.push_back({QString::fromStdString(table->name(row)),
                                   ShownCellText(table->value(row)),
                                   ShownCellText(table->cell(UnitsColumn, row)), kind});
        }
    }
    for (const int row : MatchingRows(folded, operators)) {
        completions.push_back({QString::fromStdString(operators.name(row)),
                               {},
                               {},
                               OperandsText(operators.value(row))});
    }
    return completions;
}

}  // namespace quantaro
