#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "studies/Unit.h"

struct ut_system;

namespace quantaro {

// What a units cell says: its longest leading run of words that reads as a
// unit, and the rest, a note. An empty cell is dimensionless; a cell whose
// leading word is no unit is not understood, and what it feeds is not
// checked.
struct CellUnits {
    enum Status { Empty, Understood, NotUnderstood };
    Status status = Empty;
    std::string unitText;  // the leading part read as the unit
    std::string note;
    Unit unit;
};

// The units a worksheet's cells are read in: the udunits2 database, the
// extra units the program ships (watt-hours, currencies, ...) and any the
// user adds. Files of extra units are a small part of the udunits2 XML:
//
//   <unit-system>
//     <unit><def>W.h</def><symbol>Wh</symbol><name><singular>watt_hour</singular></name></unit>
//     <unit><base/><symbol>EUR</symbol><name><singular>euro</singular></name></unit>
//   </unit-system>
//
// a <def> defines a unit from those already known, a <base/> makes a new
// dimension of its own; each may have symbols and names. Safe to use from
// any thread; cells are read once and remembered.
class UnitLibrary {
  public:
    ~UnitLibrary();
    UnitLibrary(const UnitLibrary&) = delete;
    UnitLibrary& operator=(const UnitLibrary&) = delete;

    // The database and the shipped units; nothing, with the reason, when the
    // database cannot be read.
    static std::unique_ptr<UnitLibrary> Load(std::string& fault);
    // The one the program shares, with the user's file
    // (~/.config/quantaro/units.xml) when there is one; null when the
    // database cannot be read.
    static UnitLibrary* Shared();
    // The one for a worksheet in directory: the shared one, or, when a
    // units.xml lies beside the worksheet, one with that file's units too.
    static UnitLibrary* ForDirectory(const std::string& directory);

    // Adds the units of a text or a file in the format above; false with the
    // reason of the first unit that cannot be added (the others are added).
    bool addUnits(std::string_view xml, std::string& fault);
    bool addFile(const std::string& path, std::string& fault);

    CellUnits readCell(std::string_view cell);

    // Where the user's own units are: ~/.config/quantaro/units.xml, or the
    // XDG configuration directory's.
    static std::string UserUnitsFile();

  private:
    UnitLibrary() = default;
    bool addUnit(std::string_view entry, std::string& fault);
    bool parsesAsUnit(const std::string& text, Unit& unit);
    std::size_t slotOf(const std::string& baseSymbol, bool& fits);

    ut_system* system_ = nullptr;
    std::mutex mutex_;
    std::vector<std::string> baseSymbols_;
    std::unordered_map<std::string, CellUnits> cells_;
};

}  // namespace quantaro
