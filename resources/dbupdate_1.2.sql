-- 1.2: indexes for the lookups of the lists, reports and due counts; the latest row of each
-- service on each vehicle kept in a table of its own; service types leave with their last
-- vehicle-service row; the due values move into views shared by the queries.
-- Rows orphaned by earlier versions (a deleted vehicle's services, repairs and fill-ups) go.
DELETE FROM VehicleService WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicle);
DELETE FROM Repair WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicle);
DELETE FROM Fillup WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicle);
DELETE FROM Service WHERE ServiceID NOT IN (SELECT ServiceID FROM VehicleService);

CREATE TABLE VehicleServiceLatest (
    VehicleID INTEGER NOT NULL,
    ServiceID INTEGER NOT NULL,
    VehicleServiceID INTEGER NOT NULL,
    PRIMARY KEY (VehicleID, ServiceID)
) WITHOUT ROWID;
INSERT INTO VehicleServiceLatest (VehicleID, ServiceID, VehicleServiceID)
SELECT pair.VehicleID, pair.ServiceID,
       (SELECT x.VehicleServiceID FROM VehicleService AS x
        WHERE x.VehicleID = pair.VehicleID AND x.ServiceID = pair.ServiceID
        ORDER BY x.DatePerformed DESC, x.VehicleServiceID DESC LIMIT 1)
FROM (SELECT DISTINCT VehicleID, ServiceID FROM VehicleService) AS pair;

CREATE INDEX IF NOT EXISTS VehicleServiceByVehicle ON VehicleService (VehicleID, ServiceID, DatePerformed, VehicleServiceID);
CREATE INDEX IF NOT EXISTS VehicleServiceByService ON VehicleService (ServiceID);
CREATE INDEX IF NOT EXISTS RepairByVehicle ON Repair (VehicleID, DatePerformed);
CREATE INDEX IF NOT EXISTS FillupByVehicle ON Fillup (VehicleID, Date, Odometer);
CREATE INDEX IF NOT EXISTS FillupByDate ON Fillup (Date);

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

UPDATE SystemData SET Value = '1.2' WHERE Key = 'Schema Version';
