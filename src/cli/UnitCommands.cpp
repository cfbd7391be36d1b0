#include "cli/UnitCommands.h"

#include <QFileInfo>

#include "cli/JsonReport.h"

namespace quantaro {
namespace {

// The units of the worksheet's folder when it has a units.xml, else the
// user's; a formula given as text has no folder.
UnitLibrary* LibraryFor(const QString& formulaFile) {
    if (formulaFile.isEmpty()) return UnitLibrary::Shared();
    return UnitLibrary::ForDirectory(QFileInfo(formulaFile).absolutePath().toStdString());
}

void AddFindings(const UnitReport& units, JsonReport& report) {
    JsonReport::Table& table =
        report.addTable("findings", {"equation", "step", "operator", "kind", "reason"});
    for (const UnitFinding& finding : units.findings) {
        table.addRow({std::to_string(finding.equation), std::to_string(finding.step), finding.op,
                      KindName(finding.kind), finding.reason});
    }
    report.setSummary("findings", static_cast<qint64>(units.findings.size()));
    report.setSummary("dimensionFinding", units.hasDimensionFinding());
}

std::optional<StudyJob> ReadCheckUnits(const QCommandLineParser& parser, std::string&) {
    const bool strict = parser.isSet("strict-units");
    const QStringList positional = parser.positionalArguments();
    const QString formulaFile = positional.isEmpty() ? QString() : positional.first();
    return StudyJob([strict, formulaFile](const StudyContext& context) {
        UnitLibrary* library = LibraryFor(formulaFile);
        if (!library) {
            context.err << "quantaro-cli: the udunits2 units database could not be read\n";
            return kExitIoError;
        }
        const UnitReport report = CheckUnits(context.sheet, *library, context.run.equation);
        if (context.report) AddFindings(report, *context.report);
        return ReportUnitFindings(report, strict, context.out);
    });
}

}  // namespace

int ReportUnitFindings(const UnitReport& report, bool strict, std::ostream& out) {
    for (const UnitFinding& finding : report.findings) out << FindingLine(finding) << '\n';
    const bool fails = strict ? !report.findings.empty() : report.hasDimensionFinding();
    return fails ? kExitUnitFinding : 0;
}

StudyRow UnitsStudy() {
    return {
        .options = {{.name = "check-units",
                     .valueName = nullptr,
                     .description = "Check the units of every step; run nothing."},
                    {.name = "strict-units",
                     .valueName = nullptr,
                     .description = "Fail on any units finding, not only dimensions."}},
        .synopsis = {"--check-units [--strict-units]"},
        // A check runs nothing, so there is nothing to record or save.
        .rules = {{StudyRule::Refuses, "csv"},
                  {StudyRule::Refuses, "record"},
                  {StudyRule::Refuses, "save-variables"},
                  {StudyRule::Refuses, "passes"}},
        .read = ReadCheckUnits,
    };
}

}  // namespace quantaro
