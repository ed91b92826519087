#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/DBDateCodec.h"
#include "model/Fillup.h"

// What a file from another logbook holds, read but not stored yet: its cars with their
// fill-ups, repairs and services in the file's own units, what could not be read (with the
// line it is on), and what the file says, or leaves open, about units, dates and numbers.

enum class ImportFormat { Unknown, Vantrel, Fuelly, FuellyPhone, Fuelio, Drivvo, LubeLogger, Generic };

// How a date like 03/04/2021 is read.
enum class DateOrder { Automatic, DayFirst, MonthFirst };
// The decimal mark of numbers like 1,204 or 35,47.
enum class DecimalMark { Automatic, Point, Comma };

// The person's answers to what the file leaves open; Automatic and none mean "as found".
struct ImportOptions {
    DateOrder dateOrder {DateOrder::Automatic};
    DecimalMark decimalMark {DecimalMark::Automatic};
    std::optional<int> distanceUnit; // distance unit code of the file's readings
    std::optional<int> fuelUnit; // fuel unit code of the file's quantities
};

using ImportDay = DBDateCodec::Day;

struct ImportedFillup {
    int line {0};
    std::optional<ImportDay> date;
    double odometer {0}; // in the file's distance unit
    double quantity {0};
    double costPerUnit {0};
    std::optional<int> units; // the row's own fuel unit; none: the file's
    int type {kFillupFull};
    std::string notes;
};

struct ImportedRepair {
    int line {0};
    std::string name;
    std::optional<ImportDay> date;
    double odometer {0};
    double cost {0};
    std::string notes;
};

// A performance of a service (no date: the service is on the car but not recorded yet).
struct ImportedService {
    int line {0};
    // Rows of one service of the car share it (the service's name where the file has no
    // identifier of its own).
    std::string typeKey;
    std::string name;
    double intervalDistance {0}; // in the file's distance unit
    int intervalMonths {0};
    std::optional<ImportDay> date;
    double odometer {0};
    double cost {0};
    std::string notes;
};

struct ImportedVehicle {
    std::string key; // what ties the rows of one car together in the file
    std::string name;
    std::string licensePlate;
    std::string make;
    std::string model;
    int year {0};
    std::optional<double> odometer; // the car's own reading, when the file states one
    std::string notes;
    std::vector<ImportedFillup> fillups;
    std::vector<ImportedRepair> repairs;
    std::vector<ImportedService> services;
    // Costs the file holds that are neither services nor repairs (parking, insurance...).
    int otherCosts {0};

    int recordCount() const { return int(fillups.size() + repairs.size() + services.size()); }
};

struct ImportProblem {
    std::string file; // the file inside an archive; "" for a single file
    int line {0};
    std::string message;
};

struct ImportData {
    ImportFormat format {ImportFormat::Unknown};
    std::vector<ImportedVehicle> vehicles;
    std::vector<ImportProblem> problems;
    // What the person should know before importing (an uncertain layout, a guessed
    // encoding, costs left out).
    std::vector<std::string> notices;

    // Units the file states; none when it does not say.
    std::optional<int> distanceUnit;
    std::optional<int> fuelUnit;
    // The file says "gallons" without saying US or Imperial.
    bool gallonsUnclear {false};
    // The currency as the file names it ("" when it names none).
    std::string currency;

    // The date order used, and whether the file's dates left it open (all like 03/04/2021).
    DateOrder dateOrder {DateOrder::MonthFirst};
    bool dateOrderUnclear {false};
    // The decimal mark used, and whether the file's numbers left it open.
    DecimalMark decimalMark {DecimalMark::Point};
    bool decimalMarkUnclear {false};

    // Vantrel's own export: cars are taken as they are, without the starter services a new
    // car gets.
    bool exactLogbook {false};

    ImportedVehicle& vehicleWithKey(const std::string& key, const std::string& name);
    int recordCount() const;
};
