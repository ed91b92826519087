-- The schema of the shipped database. The build turns it into vantrel.db and stores the build
-- version as 'Schema Version'. Keep it equal to what the update scripts make of an older
-- database (a test compares the two): new columns go at the end of their table.

CREATE TABLE SystemData (
    Key TEXT PRIMARY KEY,
    Value TEXT
);

-- RowOrder is the position in the user's vehicle list. AUTOINCREMENT keeps identifiers of
-- deleted vehicles from being reused, so a stale picture file never attaches to a new car.
CREATE TABLE Vehicle (
    VehicleID INTEGER PRIMARY KEY AUTOINCREMENT,
    Name TEXT,
    LicensePlate TEXT,
    Make TEXT,
    Model TEXT,
    Year INTEGER NOT NULL DEFAULT 0,
    Odometer INTEGER NOT NULL DEFAULT 0,
    Notes TEXT,
    RowOrder INTEGER NOT NULL DEFAULT 0
);

-- A service type: its name and interval (distance in the settings' unit, months).
CREATE TABLE Service (
    ServiceID INTEGER PRIMARY KEY,
    Name TEXT,
    FrequencyInMiles INTEGER NOT NULL DEFAULT 0,
    FrequencyInMonths INTEGER NOT NULL DEFAULT 0
);

-- A service on a vehicle: one row per performance. A service never performed keeps one row
-- whose DatePerformed is null, so that it stays listed for the vehicle. Dates are local
-- days "yyyy-MM-dd".
CREATE TABLE VehicleService (
    VehicleServiceID INTEGER PRIMARY KEY,
    VehicleID INTEGER NOT NULL,
    ServiceID INTEGER NOT NULL,
    DatePerformed TEXT,
    Odometer INTEGER NOT NULL DEFAULT 0,
    Cost REAL NOT NULL DEFAULT 0,
    Notes TEXT
);

CREATE TABLE Repair (
    RepairID INTEGER PRIMARY KEY,
    VehicleID INTEGER NOT NULL,
    Name TEXT,
    DatePerformed TEXT,
    Odometer INTEGER NOT NULL DEFAULT 0,
    Cost REAL NOT NULL DEFAULT 0,
    Notes TEXT
);

-- Quantity and CostPerUnit are in the fuel unit Units (0 litre, 1 US gallon, 2 Imperial
-- gallon) in which they were entered. Type: 0 Full, 1 Partial, 2 Reset.
CREATE TABLE Fillup (
    FillupID INTEGER PRIMARY KEY,
    VehicleID INTEGER NOT NULL,
    Date TEXT,
    Odometer INTEGER NOT NULL DEFAULT 0,
    Quantity REAL NOT NULL DEFAULT 0,
    CostPerUnit REAL NOT NULL DEFAULT 0,
    Units INTEGER NOT NULL DEFAULT 0,
    Notes TEXT,
    Type INTEGER NOT NULL DEFAULT 0
);

-- The latest row of each service on each vehicle (the last performance by date, the later
-- entry on the same day; or the not-recorded row of a service never performed), kept by the
-- triggers below so that the due counts read one row per service instead of the history.
CREATE TABLE VehicleServiceLatest (
    VehicleID INTEGER NOT NULL,
    ServiceID INTEGER NOT NULL,
    VehicleServiceID INTEGER NOT NULL,
    PRIMARY KEY (VehicleID, ServiceID)
) WITHOUT ROWID;

-- Lookups: a vehicle's services (and the latest performance of each), the rows of a service
-- type, a vehicle's repairs and fill-ups in date order, every fill-up of a period.
CREATE INDEX VehicleServiceByVehicle ON VehicleService (VehicleID, ServiceID, DatePerformed, VehicleServiceID);
CREATE INDEX VehicleServiceByService ON VehicleService (ServiceID);
CREATE INDEX RepairByVehicle ON Repair (VehicleID, DatePerformed);
CREATE INDEX FillupByVehicle ON Fillup (VehicleID, Date, Odometer);
CREATE INDEX FillupByDate ON Fillup (Date);

CREATE TRIGGER VehicleServiceInserted AFTER INSERT ON VehicleService
BEGIN
    DELETE FROM VehicleServiceLatest WHERE VehicleID = NEW.VehicleID AND ServiceID = NEW.ServiceID;
    INSERT INTO VehicleServiceLatest (VehicleID, ServiceID, VehicleServiceID)
    SELECT VehicleID, ServiceID, VehicleServiceID FROM VehicleService
    WHERE VehicleID = NEW.VehicleID AND ServiceID = NEW.ServiceID
    ORDER BY DatePerformed DESC, VehicleServiceID DESC LIMIT 1;
END;

CREATE TRIGGER VehicleServiceUpdated AFTER UPDATE OF VehicleID, ServiceID, DatePerformed ON VehicleService
BEGIN
    DELETE FROM VehicleServiceLatest WHERE VehicleID = OLD.VehicleID AND ServiceID = OLD.ServiceID;
    INSERT INTO VehicleServiceLatest (VehicleID, ServiceID, VehicleServiceID)
    SELECT VehicleID, ServiceID, VehicleServiceID FROM VehicleService
    WHERE VehicleID = OLD.VehicleID AND ServiceID = OLD.ServiceID
    ORDER BY DatePerformed DESC, VehicleServiceID DESC LIMIT 1;
    DELETE FROM VehicleServiceLatest WHERE VehicleID = NEW.VehicleID AND ServiceID = NEW.ServiceID;
    INSERT INTO VehicleServiceLatest (VehicleID, ServiceID, VehicleServiceID)
    SELECT VehicleID, ServiceID, VehicleServiceID FROM VehicleService
    WHERE VehicleID = NEW.VehicleID AND ServiceID = NEW.ServiceID
    ORDER BY DatePerformed DESC, VehicleServiceID DESC LIMIT 1;
END;

-- Service types belong to the vehicles that use them: the last row of a type gone, the type
-- goes too, so deleting a vehicle or a service leaves nothing behind.
CREATE TRIGGER VehicleServiceRemoved AFTER DELETE ON VehicleService
BEGIN
    DELETE FROM VehicleServiceLatest WHERE VehicleID = OLD.VehicleID AND ServiceID = OLD.ServiceID;
    INSERT INTO VehicleServiceLatest (VehicleID, ServiceID, VehicleServiceID)
    SELECT VehicleID, ServiceID, VehicleServiceID FROM VehicleService
    WHERE VehicleID = OLD.VehicleID AND ServiceID = OLD.ServiceID
    ORDER BY DatePerformed DESC, VehicleServiceID DESC LIMIT 1;
    DELETE FROM Service
    WHERE ServiceID = OLD.ServiceID AND NOT EXISTS (SELECT 1 FROM VehicleService WHERE ServiceID = OLD.ServiceID);
END;

-- Every vehicle-service row with its due values, in the column order the records read.
-- A performance falls due again after its interval: at Odometer + FrequencyInMiles, and on
-- DatePerformed + FrequencyInMonths months. AddMonths is registered by the application.
CREATE VIEW VehicleServiceDetail AS
SELECT vs.VehicleServiceID AS VehicleServiceID,
       vs.VehicleID AS VehicleID,
       vs.ServiceID AS ServiceID,
       s.Name AS Name,
       s.FrequencyInMonths AS FrequencyInMonths,
       s.FrequencyInMiles AS FrequencyInMiles,
       vs.DatePerformed AS DatePerformed,
       vs.Odometer AS Odometer,
       vs.Cost AS Cost,
       vs.Notes AS Notes,
       CASE WHEN vs.DatePerformed IS NULL THEN NULL ELSE vs.Odometer + s.FrequencyInMiles END AS DueMiles,
       AddMonths(vs.DatePerformed, s.FrequencyInMonths) AS DueDate,
       v.Odometer AS CurrentOdometer,
       v.Name AS VehicleName
FROM VehicleService AS vs
JOIN Service AS s ON s.ServiceID = vs.ServiceID
JOIN Vehicle AS v ON v.VehicleID = vs.VehicleID;

CREATE VIEW LatestVehicleService AS
SELECT d.VehicleServiceID AS VehicleServiceID,
       d.VehicleID AS VehicleID,
       d.ServiceID AS ServiceID,
       d.Name AS Name,
       d.FrequencyInMonths AS FrequencyInMonths,
       d.FrequencyInMiles AS FrequencyInMiles,
       d.DatePerformed AS DatePerformed,
       d.Odometer AS Odometer,
       d.Cost AS Cost,
       d.Notes AS Notes,
       d.DueMiles AS DueMiles,
       d.DueDate AS DueDate,
       d.CurrentOdometer AS CurrentOdometer,
       d.VehicleName AS VehicleName
FROM VehicleServiceLatest AS latest
JOIN VehicleServiceDetail AS d ON d.VehicleServiceID = latest.VehicleServiceID;
