#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace quantaro {

class NameTable;

// The names a study's window offers: the named rows of the constant table,
// then those of the variable table, or the variables alone, in table order.
QStringList InputNames(const NameTable& constants, const NameTable& variables);
QStringList VariableNames(const NameTable& variables);

// Fills a combo box with names, keeping the chosen name where it remains.
void OfferNames(QComboBox* combo, const QStringList& names);

// The most passes a study's window runs at a point or a trial, so that a
// point stays short beside the window's progress.
inline constexpr int kMaxStudyPasses = 10'000;

// A spin edit named name from lowest to highest, starting at value.
QSpinBox* MakeStudySpinEdit(const char* name, int lowest, int highest, int value, QWidget* parent);
// A single-line edit named name.
QLineEdit* MakeStudyEdit(const char* name, QWidget* parent);

// The edit's text as a number; nothing when it is not one.
std::optional<long double> EditNumber(const QLineEdit* edit);

}  // namespace quantaro
