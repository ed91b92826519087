#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/Fillup.h"
#include "model/Repair.h"
#include "model/Service.h"
#include "model/Vehicle.h"
#include "transfer/ImportData.h"

// What importing a file will store: for each car of the file the person chose a new car, an
// existing one or none, and the records are made in Vantrel's units (readings converted to
// the distance unit of the settings, or, in a logbook without cars, the settings taking the
// file's units), oldest first, without the rows the chosen car already has (same date,
// odometer and quantity for a fill-up; same date, odometer and name for a repair or a
// service). commit() stores all of it in one transaction.
class ImportPlan {
public:
    struct Target {
        enum Kind { NewVehicle, ExistingVehicle, Skip };
        Kind kind {NewVehicle};
        int vid {0}; // the existing car

        bool operator==(const Target&) const = default;
    };
    // For each car of the file: the existing car of the same name, else the one that already
    // holds most of its fill-ups (the file was imported into it before), else a new car.
    static std::vector<Target> defaultTargets(const ImportData& data);

    // A performance of a service (none date: on the car but not recorded yet), with the
    // service's name and interval; rows of one service share typeKey.
    struct PlannedService {
        std::string typeKey;
        Service record;
    };
    struct PlannedVehicle {
        const ImportedVehicle* source {nullptr};
        Target target;
        Vehicle vehicle; // the new car as it will be stored, or the existing car
        std::vector<Fillup> fillups;
        std::vector<Repair> repairs;
        std::vector<PlannedService> services;
        int duplicates {0}; // rows the car already has
        int highestReading {0};
    };

    // Reads the chosen existing cars' records to leave out what they already have.
    ImportPlan(const ImportData& data, const ImportOptions& options, std::vector<Target> targets);

    const std::vector<PlannedVehicle>& vehicles() const { return m_vehicles; }
    const std::vector<Target>& targets() const { return m_targets; }

    // The units the file's readings and quantities are taken in (what the file says, the
    // person's choice, else the settings'), and whether the file left them open.
    int fileDistanceUnit() const { return m_fileDistanceUnit; }
    int fileFuelUnit() const { return m_fileFuelUnit; }
    // The unit the readings are stored in.
    int storedDistanceUnit() const { return m_storedDistanceUnit; }
    // The logbook has no cars yet and the file's units differ from the settings': commit
    // makes the settings use them.
    bool adoptsUnits() const { return m_adoptsUnits; }

    struct Counts {
        int fillups {0};
        int repairs {0};
        int services {0};
        int duplicates {0};
        int newVehicles {0};
        int total() const { return fillups + repairs + services; }
    };
    Counts counts() const;

    // Stores the plan: the new cars, their records, the records of the existing cars (whose
    // odometers rise to the highest reading imported), all in one transaction, then the
    // settings' units when adoptsUnits(). None, with nothing stored, when the store refused
    // any of it.
    std::optional<Counts> commit() const;

private:
    std::vector<Target> m_targets;
    std::vector<PlannedVehicle> m_vehicles;
    int m_fileDistanceUnit {0};
    int m_fileFuelUnit {0};
    int m_storedDistanceUnit {0};
    bool m_adoptsUnits {false};
    bool m_exact {false};
};
