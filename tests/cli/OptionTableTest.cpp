#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "cli/OptionTable.h"

namespace quantaro {
namespace {

QString SourceFile(const char* path) {
    QFile file(QStringLiteral(QUANTARO_SOURCE_DIR "/") + path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

// The text from the line that starts with `from` to the next that starts with `to`.
QString Section(const QString& text, const QString& from, const QString& to) {
    const qsizetype start = text.indexOf(from);
    EXPECT_GE(start, 0) << from.toStdString();
    return text.mid(start, text.indexOf(to, start + from.size()) - start);
}

// The options named in a text, "-h" and "--name", found by a pattern with
// the name as its first group.
QSet<QString> NamedOptions(const QString& text, const QString& pattern) {
    QSet<QString> names;
    for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text))
        names << match.captured(1);
    return names;
}

// The names, sorted, for a message that shows what is missing.
std::string Listed(const QSet<QString>& names) {
    QStringList sorted = names.values();
    sorted.sort();
    return sorted.join(' ').toStdString();
}

// A study or option added to the table but forgotten in the manual page or
// the shell's completion of option values fails here; so does one left in
// either after it was removed.
TEST(OptionTable, TheManualPageAndTheCompletionKnowEveryOption) {
    QSet<QString> all, withValue;
    const auto add = [&](const CommandOption& option) {
        all << QStringLiteral("--") + option.name;
        if (option.shortName) all << QStringLiteral("-") + option.shortName;
        if (option.valueName) withValue << QStringLiteral("--") + option.name;
    };
    for (const CommandOption& option : PlainOptions()) add(option);
    for (const StudyRow& study : Studies()) {
        for (const CommandOption& option : study.options) add(option);
    }

    // The manual's option headings: the lines of its options that start with "*-".
    const QString options =
        Section(SourceFile("doc/man/quantaro-cli.1.scd"), "\n# OPTIONS\n", "\n# ");
    const QString headings = NamedOptions(options, "(?m)^(\\*-.*)$").values().join('\n');
    EXPECT_EQ(Listed(NamedOptions(headings, "\\*(--?[a-z][a-z-]*)\\*")), Listed(all));

    // The patterns of the previous word whose value is not a formula file.
    const QString values =
        Section(SourceFile("data/bash-completion/quantaro-cli"), "case $prev in", "esac");
    const QSet<QString> completed =
        NamedOptions(values, "(?:^|[\\s|])(--?[a-z][a-z-]*)(?=[\\s|)\\\\])");
    EXPECT_EQ(Listed(withValue - completed), "") << "options whose value is completed as a file";
    EXPECT_EQ(Listed(completed - all), "") << "options the program does not have";
}

}  // namespace
}  // namespace quantaro
