#include "studies/UnitLibrary.h"

#include <udunits2.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "studies/ShippedUnits.h"

namespace quantaro {
namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The texts between <tag> and </tag> in xml, in order.
std::vector<std::string> Elements(std::string_view xml, std::string_view tag) {
    const std::string open = std::string("<").append(tag).append(">");
    const std::string close = std::string("</").append(tag).append(">");
    std::vector<std::string> found;
    for (std::size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at)) {
        at += open.size();
        const std::size_t end = xml.find(close, at);
        if (end == std::string_view::npos) break;
        found.emplace_back(Trimmed(xml.substr(at, end - at)));
        at = end + close.size();
    }
    return found;
}

std::string WithoutComments(std::string_view xml) {
    std::string text;
    std::size_t at = 0;
    for (std::size_t open = xml.find("<!--"); open != std::string_view::npos;
         open = xml.find("<!--", at)) {
        text += xml.substr(at, open - at);
        const std::size_t close = xml.find("-->", open);
        if (close == std::string_view::npos) return text;
        at = close + 3;
    }
    return text += xml.substr(at);
}

// Follows a parsed unit down to its base units.
struct Decomposition {
    std::vector<std::pair<const ut_unit*, int>> bases;
    const ut_unit* underlying = nullptr;
};

ut_status VisitBasic(const ut_unit* unit, void* arg) {
    static_cast<Decomposition*>(arg)->bases.emplace_back(unit, 1);
    return UT_SUCCESS;
}

ut_status VisitProduct(const ut_unit*, int count, const ut_unit* const* basics, const int* powers,
                       void* arg) {
    for (int k = 0; k < count; ++k)
        static_cast<Decomposition*>(arg)->bases.emplace_back(basics[k], powers[k]);
    return UT_SUCCESS;
}

ut_status VisitGalilean(const ut_unit*, double, const ut_unit* underlying, double, void* arg);

// Times and logarithmic units are no quantities the operators can combine.
ut_status Refuse(const ut_unit*, const ut_unit*, double, void*) {
    return UT_VISIT_ERROR;
}
ut_status RefuseLogarithmic(const ut_unit*, double, const ut_unit*, void*) {
    return UT_VISIT_ERROR;
}

const ut_visitor kVisitor{VisitBasic, VisitProduct, VisitGalilean, Refuse, RefuseLogarithmic};

ut_status VisitGalilean(const ut_unit*, double, const ut_unit* underlying, double, void* arg) {
    static_cast<Decomposition*>(arg)->underlying = underlying;
    return ut_accept_visitor(underlying, &kVisitor, arg);
}

struct UnitFree {
    void operator()(ut_unit* unit) const { ut_free(unit); }
};
using OwnedUnit = std::unique_ptr<ut_unit, UnitFree>;

std::unique_ptr<UnitLibrary> LoadWithFiles(const std::vector<std::string>& files) {
    std::string fault;
    std::unique_ptr<UnitLibrary> library = UnitLibrary::Load(fault);
    for (const std::string& file : files) {
        if (library && std::ifstream(file)) library->addFile(file, fault);
    }
    return library;
}

}  // namespace

UnitLibrary::~UnitLibrary() {
    if (system_) ut_free_system(system_);
}

std::unique_ptr<UnitLibrary> UnitLibrary::Load(std::string& fault) {
    ut_set_error_message_handler(ut_ignore);
    std::unique_ptr<UnitLibrary> library(new UnitLibrary);
    library->system_ = ut_read_xml(nullptr);
    if (!library->system_) {
        fault = "the udunits2 units database could not be read";
        return nullptr;
    }
    // A unit a later database defines itself is the database's.
    std::string ignored;
    library->addUnits(kShippedUnits, ignored);
    return library;
}

UnitLibrary* UnitLibrary::Shared() {
    static const std::unique_ptr<UnitLibrary> shared = LoadWithFiles({UserUnitsFile()});
    return shared.get();
}

UnitLibrary* UnitLibrary::ForDirectory(const std::string& directory) {
    const std::string beside = directory + "/units.xml";
    if (directory.empty() || !std::ifstream(beside)) return Shared();
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<UnitLibrary>> libraries;
    const std::lock_guard lock(mutex);
    std::unique_ptr<UnitLibrary>& library = libraries[directory];
    if (!library) library = LoadWithFiles({UserUnitsFile(), beside});
    return library.get();
}

std::string UnitLibrary::UserUnitsFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) return std::string(config) + "/quantaro/units.xml";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/quantaro/units.xml";
}

bool UnitLibrary::addFile(const std::string& path, std::string& fault) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        fault = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (addUnits(text.str(), fault)) return true;
    fault = path + ": " + fault;
    return false;
}

bool UnitLibrary::addUnits(std::string_view xml, std::string& fault) {
    const std::lock_guard lock(mutex_);
    const std::string text = WithoutComments(xml);
    if (text.find("<unit-system>") == std::string::npos) {
        fault = "no <unit-system>";
        return false;
    }
    bool added = true;
    for (const std::string& entry : Elements(text, "unit")) {
        std::string why;
        if (addUnit(entry, why)) continue;
        if (added) fault = why;
        added = false;
    }
    // Cells read before may read differently now.
    cells_.clear();
    return added;
}

bool UnitLibrary::addUnit(std::string_view entry, std::string& fault) {
    const std::vector<std::string> symbols = Elements(entry, "symbol");
    const std::vector<std::string> names = Elements(entry, "singular");
    const std::vector<std::string> definitions = Elements(entry, "def");
    const bool base = entry.find("<base/>") != std::string_view::npos;
    if (base == !definitions.empty()) {
        fault = "a <unit> needs one <def> or <base/>";
        return false;
    }
    OwnedUnit unit(base ? ut_new_base_unit(system_)
                        : ut_parse(system_, definitions.front().c_str(), UT_UTF8));
    if (!unit) {
        fault = "the definition \"" + definitions.front() + "\" is no unit";
        return false;
    }
    for (const std::string& symbol : symbols) {
        if (ut_map_symbol_to_unit(symbol.c_str(), UT_UTF8, unit.get()) != UT_SUCCESS) {
            fault = "the symbol " + symbol + " is taken";
            return false;
        }
    }
    for (const std::string& name : names) {
        if (ut_map_name_to_unit(name.c_str(), UT_UTF8, unit.get()) != UT_SUCCESS) {
            fault = "the name " + name + " is taken";
            return false;
        }
    }
    // A new dimension is shown, and told from the others, by its symbol.
    if (base && !symbols.empty())
        ut_map_unit_to_symbol(unit.get(), symbols.front().c_str(), UT_UTF8);
    if (base && symbols.empty() && !names.empty())
        ut_map_unit_to_name(unit.get(), names.front().c_str(), UT_UTF8);
    return true;
}

std::size_t UnitLibrary::slotOf(const std::string& baseSymbol, bool& fits) {
    for (std::size_t k = 0; k < baseSymbols_.size(); ++k) {
        if (baseSymbols_[k] == baseSymbol) return k;
    }
    fits = baseSymbols_.size() < kBaseDimensions;
    if (!fits) return 0;
    baseSymbols_.push_back(baseSymbol);
    return baseSymbols_.size() - 1;
}

bool UnitLibrary::parsesAsUnit(const std::string& text, Unit& unit) {
    const OwnedUnit parsed(ut_parse(system_, text.c_str(), UT_UTF8));
    if (!parsed) return false;
    Decomposition parts;
    if (ut_accept_visitor(parsed.get(), &kVisitor, &parts) != UT_SUCCESS) return false;
    for (const auto& [basic, power] : parts.bases) {
        if (ut_is_dimensionless(basic)) {
            unit.radians += power;
            continue;
        }
        char symbol[128];
        if (ut_format(basic, symbol, sizeof symbol, UT_UTF8) < 0) return false;
        bool fits = true;
        const std::size_t slot = slotOf(symbol, fits);
        if (!fits) return false;
        unit.exponents[slot] += power;
    }
    if (parts.underlying) {
        cv_converter* converter =
            ut_get_converter(parsed.get(), const_cast<ut_unit*>(parts.underlying));
        if (!converter) return false;
        unit.offset = cv_convert_double(converter, 0);
        unit.scale = cv_convert_double(converter, 1) - unit.offset;
        cv_free(converter);
    }
    return true;
}

CellUnits UnitLibrary::readCell(std::string_view cell) {
    const std::lock_guard lock(mutex_);
    const std::string key(cell);
    if (const auto known = cells_.find(key); known != cells_.end()) return known->second;
    CellUnits read;
    const std::string_view text = Trimmed(cell);
    if (!text.empty()) read.status = CellUnits::NotUnderstood;
    // The longest leading run of whole words that reads as a unit.
    std::vector<std::size_t> wordEnds;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) wordEnds.push_back(end);
        at = end + 1;
    }
    for (std::size_t n = wordEnds.size(); n > 0; --n) {
        Unit unit;
        const std::string candidate(text.substr(0, wordEnds[n - 1]));
        if (!parsesAsUnit(candidate, unit)) continue;
        read.status = CellUnits::Understood;
        read.unitText = candidate;
        read.note = Trimmed(text.substr(wordEnds[n - 1]));
        // A plain number ("1 when ...") has no terms to show.
        if (!(unit.dimensionless() && unit.radians == 0 && unit.scale == 1 && unit.offset == 0))
            unit.terms = TermsOf(candidate);
        read.unit = std::move(unit);
        break;
    }
    if (read.status == CellUnits::NotUnderstood) read.note = text;
    return cells_.emplace(key, std::move(read)).first->second;
}

}  // namespace quantaro
