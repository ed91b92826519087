-- The named queries of the data store. Each block starts with a marker line: two dashes, a
-- dollar sign and the query name; its body is the SQL up to the next marker. Statement queries hold one statement with named
-- parameters (@VehicleID); batch queries (SetVehicleDefaults, DeleteVehicle) may hold several
-- and get their parameters substituted as literals.
--
-- "Now" and "today" come from the application's clock: ClockNow() and ClockToday(). Dates
-- are local days "yyyy-MM-dd", so they compare as text. @FilterPeriod is an SQLite date
-- modifier without its sign ("7 days", "1 months"); null means the whole history, otherwise
-- rows dated from that span before today up to today.
-- ServiceDueStatus() and IsServiceDue() apply the application's due-status rule to a row
-- of LatestVehicleService; status codes: 0 not recorded, 1 overdue, 2 due soon, 3 on schedule.

-- ---------------------------------------------------------------------------------------------
-- Vehicles
-- ---------------------------------------------------------------------------------------------

--$AllVehicles
SELECT v.VehicleID, v.Name, v.LicensePlate, v.Make, v.Model, v.Year, v.Odometer, v.Notes,
       (SELECT COUNT(*)
        FROM LatestVehicleService AS l
        WHERE l.VehicleID = v.VehicleID
          AND IsServiceDue(l.DatePerformed, l.DueMiles, l.DueDate, l.CurrentOdometer,
                           @DaysBeforeDue, @MilesBeforeDue, ClockNow()))
FROM Vehicle AS v
ORDER BY v.RowOrder, v.VehicleID;

--$VehicleByID
SELECT VehicleID, Name, LicensePlate, Make, Model, Year, Odometer, Notes, 0
FROM Vehicle
WHERE VehicleID = @VehicleID;

--$InsertVehicle
INSERT INTO Vehicle (Name, LicensePlate, Make, Model, Year, Odometer, Notes, RowOrder)
VALUES (@Name, @LicensePlate, @Make, @Model, @Year, @Odometer, @Notes,
        (SELECT IFNULL(MAX(RowOrder) + 1, 0) FROM Vehicle));

--$UpdateVehicle
UPDATE Vehicle
SET Name = @Name, LicensePlate = @LicensePlate, Make = @Make, Model = @Model, Year = @Year,
    Odometer = @Odometer, Notes = @Notes
WHERE VehicleID = @VehicleID;

--$SetVehicleDefaults
-- A new vehicle starts with the usual maintenance items, not recorded yet. Each vehicle gets
-- its own service types, so changing an interval on one car leaves the others alone.
INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) VALUES ('Oil Change', 5000, 6);
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, last_insert_rowid(), NULL, 0, 0, '');
INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) VALUES ('Tire Rotation', 7500, 6);
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, last_insert_rowid(), NULL, 0, 0, '');
INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) VALUES ('Brake Inspection', 15000, 12);
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, last_insert_rowid(), NULL, 0, 0, '');
INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) VALUES ('Air Filter', 15000, 12);
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, last_insert_rowid(), NULL, 0, 0, '');
INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) VALUES ('Coolant Flush', 30000, 24);
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, last_insert_rowid(), NULL, 0, 0, '');

--$UpdateOdometer
-- Recording something never lowers the reading: an older record entered late keeps the
-- current one.
UPDATE Vehicle SET Odometer = @Odometer WHERE VehicleID = @VehicleID AND Odometer < @Odometer;

--$UpdateRowOrder
UPDATE Vehicle SET RowOrder = @RowOrder WHERE VehicleID = @VehicleID;

--$DeleteVehicle
-- The vehicle and everything that belongs to it; the service types go with their rows
-- (trigger VehicleServiceRemoved).
DELETE FROM VehicleService WHERE VehicleID = @VehicleID;
DELETE FROM Repair WHERE VehicleID = @VehicleID;
DELETE FROM Fillup WHERE VehicleID = @VehicleID;
DELETE FROM Vehicle WHERE VehicleID = @VehicleID;

--$AllMakes
SELECT DISTINCT Make FROM Vehicle WHERE IFNULL(Make, '') <> '' ORDER BY Make COLLATE NOCASE;

--$AllModels
SELECT DISTINCT Model FROM Vehicle WHERE IFNULL(Model, '') <> '' ORDER BY Model COLLATE NOCASE;

-- ---------------------------------------------------------------------------------------------
-- Services (vehicle-service rows: the 14 columns of the views, in order)
-- ---------------------------------------------------------------------------------------------

--$AllDueServices
SELECT l.VehicleServiceID, l.VehicleID, l.ServiceID, l.Name, l.FrequencyInMonths, l.FrequencyInMiles,
       l.DatePerformed, l.Odometer, l.Cost, l.Notes, l.DueMiles, l.DueDate, l.CurrentOdometer, l.VehicleName
FROM LatestVehicleService AS l
JOIN Vehicle AS v ON v.VehicleID = l.VehicleID
WHERE IsServiceDue(l.DatePerformed, l.DueMiles, l.DueDate, l.CurrentOdometer,
                   @DaysBeforeDue, @MilesBeforeDue, ClockNow())
ORDER BY l.DueDate, v.RowOrder, l.Name COLLATE NOCASE, l.ServiceID;

--$DueServiceCount
SELECT COUNT(*)
FROM LatestVehicleService AS l
WHERE IsServiceDue(l.DatePerformed, l.DueMiles, l.DueDate, l.CurrentOdometer,
                   @DaysBeforeDue, @MilesBeforeDue, ClockNow());

--$DueVehicleServiceCount
SELECT COUNT(*)
FROM LatestVehicleService AS l
WHERE l.VehicleID = @VehicleID
  AND IsServiceDue(l.DatePerformed, l.DueMiles, l.DueDate, l.CurrentOdometer,
                   @DaysBeforeDue, @MilesBeforeDue, ClockNow());

--$VehicleServiceSummary
SELECT VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths, FrequencyInMiles,
       DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate, CurrentOdometer, VehicleName
FROM LatestVehicleService
WHERE VehicleID = @VehicleID
ORDER BY Name COLLATE NOCASE, ServiceID;

--$VehicleServiceHistory
SELECT VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths, FrequencyInMiles,
       DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate, CurrentOdometer, VehicleName
FROM VehicleServiceDetail
WHERE VehicleID = @VehicleID AND ServiceID = @ServiceID AND DatePerformed IS NOT NULL
ORDER BY DatePerformed DESC, VehicleServiceID DESC;

--$LastServiceForVehicle
SELECT VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths, FrequencyInMiles,
       DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate, CurrentOdometer, VehicleName
FROM LatestVehicleService
WHERE VehicleID = @VehicleID AND ServiceID = @ServiceID;

--$AllVehicleServices
-- Every row of every service of the vehicle, the not-recorded ones too, service by service
-- in the order they were added: what an export writes.
SELECT VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths, FrequencyInMiles,
       DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate, CurrentOdometer, VehicleName
FROM VehicleServiceDetail
WHERE VehicleID = @VehicleID
ORDER BY ServiceID, VehicleServiceID;

--$VehicleServiceWithID
SELECT VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths, FrequencyInMiles,
       DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate, CurrentOdometer, VehicleName
FROM VehicleServiceDetail
WHERE VehicleServiceID = @VehicleServiceID;

--$InsertService
INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths)
VALUES (@Name, @FrequencyInMiles, @FrequencyInMonths);

--$UpdateService
UPDATE Service
SET Name = @Name, FrequencyInMiles = @FrequencyInMiles, FrequencyInMonths = @FrequencyInMonths
WHERE ServiceID = @ServiceID;

--$InsertVehicleService
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, @ServiceID, @DatePerformed, @Odometer, @Cost, @Notes);

--$UpdateVehicleService
UPDATE VehicleService
SET VehicleID = @VehicleID, ServiceID = @ServiceID, DatePerformed = @DatePerformed,
    Odometer = @Odometer, Cost = @Cost, Notes = @Notes
WHERE VehicleServiceID = @VehicleServiceID;

--$VehicleServiceCount
SELECT COUNT(*) FROM VehicleService WHERE VehicleID = @VehicleID AND ServiceID = @ServiceID;

--$ResetVehicleService
UPDATE VehicleService
SET DatePerformed = NULL, Odometer = 0, Cost = 0, Notes = ''
WHERE VehicleServiceID = @VehicleServiceID;

--$DeleteVehicleServiceWithID
DELETE FROM VehicleService WHERE VehicleServiceID = @VehicleServiceID;

--$DeleteVehicleServiceHistory
DELETE FROM VehicleService WHERE VehicleID = @VehicleID AND ServiceID = @ServiceID;

-- ---------------------------------------------------------------------------------------------
-- Repairs (RepairID, VehicleID, Name, DatePerformed, Odometer, Cost, Notes)
-- ---------------------------------------------------------------------------------------------

--$AllRepairs
SELECT RepairID, VehicleID, Name, DatePerformed, Odometer, Cost, Notes
FROM Repair
WHERE VehicleID = @VehicleID
ORDER BY DatePerformed DESC, RepairID DESC;

--$RepairWithID
SELECT RepairID, VehicleID, Name, DatePerformed, Odometer, Cost, Notes
FROM Repair
WHERE RepairID = @RepairID;

--$InsertRepair
INSERT INTO Repair (VehicleID, Name, DatePerformed, Odometer, Cost, Notes)
VALUES (@VehicleID, @RepairName, @DatePerformed, @Odometer, @Cost, @Notes);

--$UpdateRepair
UPDATE Repair
SET VehicleID = @VehicleID, Name = @RepairName, DatePerformed = @DatePerformed,
    Odometer = @Odometer, Cost = @Cost, Notes = @Notes
WHERE RepairID = @RepairID;

--$DeleteRepairWithID
DELETE FROM Repair WHERE RepairID = @RepairID;

-- ---------------------------------------------------------------------------------------------
-- Fill-ups (FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type)
-- ---------------------------------------------------------------------------------------------

--$AllFillups
-- Oldest first: the attribution of distances and the validity check depend on it.
SELECT FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
FROM Fillup
WHERE VehicleID = @VehicleID
  AND (@FilterPeriod IS NULL
       OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday()))
ORDER BY Date, Odometer, FillupID;

--$InsertFillup
INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type)
VALUES (@VehicleID, @Date, @Odometer, @Quantity, @CostPerUnit, @Units, @Notes, @Type);

--$UpdateFillup
UPDATE Fillup
SET VehicleID = @VehicleID, Date = @Date, Odometer = @Odometer, Quantity = @Quantity,
    CostPerUnit = @CostPerUnit, Units = @Units, Notes = @Notes, Type = @Type
WHERE FillupID = @FillUpID;

--$DeleteFillupWithID
DELETE FROM Fillup WHERE FillupID = @FillUpID;

-- ---------------------------------------------------------------------------------------------
-- Transactions: an import stores all of its rows or none
-- ---------------------------------------------------------------------------------------------

--$BeginTransaction
BEGIN IMMEDIATE;

--$CommitTransaction
COMMIT;

--$RollbackTransaction
ROLLBACK;

-- ---------------------------------------------------------------------------------------------
-- Reports: rows in ascending date order
-- ---------------------------------------------------------------------------------------------

--$TotalExpensesReport
-- One row per dated expense: services performed, repairs, fill-ups (quantity x price).
SELECT Day, Amount
FROM (SELECT DatePerformed AS Day, Cost AS Amount, 0 AS Kind, VehicleServiceID AS ID
      FROM VehicleService WHERE VehicleID = @VehicleID AND DatePerformed IS NOT NULL
      UNION ALL
      SELECT DatePerformed, Cost, 1, RepairID
      FROM Repair WHERE VehicleID = @VehicleID AND DatePerformed IS NOT NULL
      UNION ALL
      SELECT Date, Quantity * CostPerUnit, 2, FillupID
      FROM Fillup WHERE VehicleID = @VehicleID AND Date IS NOT NULL)
WHERE @FilterPeriod IS NULL
   OR (Day >= date(ClockToday(), '-' || @FilterPeriod) AND Day <= ClockToday())
ORDER BY Day, Kind, ID;

--$RepairExpensesReport
SELECT RepairID, VehicleID, Name, DatePerformed, Odometer, Cost, Notes
FROM Repair
WHERE VehicleID = @VehicleID AND DatePerformed IS NOT NULL
  AND (@FilterPeriod IS NULL
       OR (DatePerformed >= date(ClockToday(), '-' || @FilterPeriod) AND DatePerformed <= ClockToday()))
ORDER BY DatePerformed, RepairID;

--$ServiceExpensesReport
SELECT VehicleServiceID, VehicleID, ServiceID, Name, FrequencyInMonths, FrequencyInMiles,
       DatePerformed, Odometer, Cost, Notes, DueMiles, DueDate, CurrentOdometer, VehicleName
FROM VehicleServiceDetail
WHERE VehicleID = @VehicleID AND DatePerformed IS NOT NULL
  AND (@FilterPeriod IS NULL
       OR (DatePerformed >= date(ClockToday(), '-' || @FilterPeriod) AND DatePerformed <= ClockToday()))
ORDER BY DatePerformed, VehicleServiceID;

--$FuelExpensesReport
SELECT FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
FROM Fillup
WHERE VehicleID = @VehicleID AND Date IS NOT NULL
  AND (@FilterPeriod IS NULL
       OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday()))
ORDER BY Date, Odometer, FillupID;

--$FuelPricesReportData
-- Every vehicle's fill-ups: the price of fuel does not depend on the car.
SELECT FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
FROM Fillup
WHERE Date IS NOT NULL
  AND (@FilterPeriod IS NULL
       OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday()))
ORDER BY Date, Odometer, FillupID;

--$CostForDistanceReport
-- The fill-ups behind the cost-per-distance series: the rows of AllFillups.
SELECT FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
FROM Fillup
WHERE VehicleID = @VehicleID
  AND (@FilterPeriod IS NULL
       OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday()))
ORDER BY Date, Odometer, FillupID;

--$FuelConsumptionReport
-- The fill-ups behind the consumption series: the rows of AllFillups.
SELECT FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
FROM Fillup
WHERE VehicleID = @VehicleID
  AND (@FilterPeriod IS NULL
       OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday()))
ORDER BY Date, Odometer, FillupID;

--$FuelEconomyReport
-- The fill-ups behind the economy series: the rows of AllFillups.
SELECT FillupID, VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes, Type
FROM Fillup
WHERE VehicleID = @VehicleID
  AND (@FilterPeriod IS NULL
       OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday()))
ORDER BY Date, Odometer, FillupID;

--$CostDistributionReport
-- Three totals, in this order: services, repairs, fuel.
SELECT Total
FROM (SELECT 0 AS Position, TOTAL(Cost) AS Total
      FROM VehicleService
      WHERE VehicleID = @VehicleID AND DatePerformed IS NOT NULL
        AND (@FilterPeriod IS NULL
             OR (DatePerformed >= date(ClockToday(), '-' || @FilterPeriod) AND DatePerformed <= ClockToday()))
      UNION ALL
      SELECT 1, TOTAL(Cost)
      FROM Repair
      WHERE VehicleID = @VehicleID AND DatePerformed IS NOT NULL
        AND (@FilterPeriod IS NULL
             OR (DatePerformed >= date(ClockToday(), '-' || @FilterPeriod) AND DatePerformed <= ClockToday()))
      UNION ALL
      SELECT 2, TOTAL(Quantity * CostPerUnit)
      FROM Fillup
      WHERE VehicleID = @VehicleID AND Date IS NOT NULL
        AND (@FilterPeriod IS NULL
             OR (Date >= date(ClockToday(), '-' || @FilterPeriod) AND Date <= ClockToday())))
ORDER BY Position;

--$ServiceStatusReport
-- Four counts, in this order: on schedule, due soon, overdue, not recorded.
WITH Status (Code) AS (
    SELECT ServiceDueStatus(DatePerformed, DueMiles, DueDate, CurrentOdometer,
                            @DaysBeforeDue, @MilesBeforeDue, ClockNow())
    FROM LatestVehicleService
    WHERE VehicleID = @VehicleID),
Slot (Position, Code) AS (VALUES (0, 3), (1, 2), (2, 1), (3, 0))
SELECT COUNT(Status.Code)
FROM Slot LEFT JOIN Status ON Status.Code = Slot.Code
GROUP BY Slot.Position
ORDER BY Slot.Position;
