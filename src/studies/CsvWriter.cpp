#include "studies/CsvWriter.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/Numbers.h"

namespace quantaro {
namespace {

// One pass over the text: find_first_of searches the four characters for
// each character of a field, and a CSV of a long run is mostly short fields.
bool NeedsQuotes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

constexpr std::string_view kRecordEnd = "\r\n";

}  // namespace

void AppendCsvField(std::string& out, std::string_view text) {
    if (!NeedsQuotes(text)) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string CsvField(std::string_view text) {
    std::string field;
    AppendCsvField(field, text);
    return field;
}

void AppendCsvNumber(std::string& out, long double number) {
    const std::size_t start = out.size();
    out.resize(start + kNumberTextSize);
    char* const text = out.data() + start;
    out.resize(start + static_cast<std::size_t>(WriteNumber(text, number) - text));
}

void AppendCsvRecordEnd(std::string& out, std::span<const std::string_view> fields) {
    for (const std::string_view field : fields) {
        out += ',';
        AppendCsvField(out, field);
    }
    out += kRecordEnd;
}

void AppendCsvRecord(std::string& out, std::span<const std::string_view> fields) {
    if (!fields.empty()) {
        AppendCsvField(out, fields.front());
        fields = fields.subspan(1);
    }
    AppendCsvRecordEnd(out, fields);
}

std::string ResultTableCsv(const ResultTable& table) {
    std::string csv;
    const auto append = [&csv](std::span<const std::string> texts) {
        const std::vector<std::string_view> fields(texts.begin(), texts.end());
        AppendCsvRecord(csv, fields);
    };
    append(table.columns());
    for (std::size_t row = 0; row < table.rowCount(); ++row) append(table.row(row));
    return csv;
}

std::string SweepCsvHeader(std::span<const std::string> inputs,
                           std::span<const std::string> outputs) {
    std::vector<std::string_view> fields{"point"};
    fields.insert(fields.end(), inputs.begin(), inputs.end());
    fields.insert(fields.end(), outputs.begin(), outputs.end());
    fields.push_back("message");
    std::string header;
    AppendCsvRecord(header, fields);
    return header;
}

namespace {

void AppendSweepRows(std::string& out, const SweepResults& results, std::size_t begin,
                     std::size_t end) {
    const std::size_t inputs = results.inputNames().size();
    const std::size_t outputs = results.outputNames().size();
    for (std::size_t index = begin; index < end; ++index) {
        // The point number and the numbers never need quotes.
        out += std::to_string(results.pointNumber(index));
        for (std::size_t axis = 0; axis < inputs; ++axis) {
            out += ',';
            out += results.input(index, axis);
        }
        for (std::size_t column = 0; column < outputs; ++column) {
            out += ',';
            const SweepResults::Field field = results.field(index, column);
            if (field.text) {
                AppendCsvField(out, *field.text);
            } else {
                AppendCsvNumber(out, field.number);
            }
        }
        out += ',';
        AppendCsvField(out, results.message(index));
        out += kRecordEnd;
    }
}

// Below so many rows a thread of their own costs more than it saves.
constexpr std::size_t kRowsWorthAThread = 4096;

}  // namespace

// Making the texts of the numbers costs about what running the points did,
// so a long range is written on two threads, as its points ran; the results
// are only read.
void AppendSweepCsvRows(std::string& out, const SweepResults& results, std::size_t begin,
                        std::size_t end) {
    if (end - begin < 2 * kRowsWorthAThread || DefaultWorkerCount() < 2) {
        AppendSweepRows(out, results, begin, end);
        return;
    }
    const std::size_t middle = begin + (end - begin) / 2;
    std::string second;
    std::exception_ptr failure;
    std::jthread helper;
    try {
        helper = std::jthread([&] {
            try {
                AppendSweepRows(second, results, middle, end);
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        AppendSweepRows(out, results, begin, end);  // no thread to be had
        return;
    }
    AppendSweepRows(out, results, begin, middle);
    helper.join();
    if (failure) std::rethrow_exception(failure);
    out += second;
}

void AppendSweepCsvRows(std::string& out, const SweepResults& results) {
    AppendSweepCsvRows(out, results, 0, results.size());
}

std::string SweepCsv(const SweepResults& results) {
    std::string csv = SweepCsvHeader(results.inputNames(), results.outputNames());
    AppendSweepCsvRows(csv, results);
    return csv;
}

}  // namespace quantaro
