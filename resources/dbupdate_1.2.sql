-- 1.2: indexes for the lookups of the lists, reports and due counts; service types leave
-- with their last vehicle-service row; the due values move into views shared by the queries.
-- Rows orphaned by earlier versions (a deleted vehicle's services, repairs and fill-ups) go.
DELETE FROM VehicleService WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicle);
DELETE FROM Repair WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicle);
DELETE FROM Fillup WHERE VehicleID NOT IN (SELECT VehicleID FROM Vehicle);
DELETE FROM Service WHERE ServiceID NOT IN (SELECT ServiceID FROM VehicleService);

CREATE INDEX IF NOT EXISTS VehicleServiceByVehicle ON VehicleService (VehicleID, ServiceID, DatePerformed, VehicleServiceID);
CREATE INDEX IF NOT EXISTS VehicleServiceByService ON VehicleService (ServiceID);
CREATE INDEX IF NOT EXISTS RepairByVehicle ON Repair (VehicleID, DatePerformed);
CREATE INDEX IF NOT EXISTS FillupByVehicle ON Fillup (VehicleID, Date, Odometer);
CREATE INDEX IF NOT EXISTS FillupByDate ON Fillup (Date);

CREATE TRIGGER IF NOT EXISTS VehicleServiceRemoved AFTER DELETE ON VehicleService
WHEN NOT EXISTS (SELECT 1 FROM VehicleService WHERE ServiceID = OLD.ServiceID)
BEGIN
    DELETE FROM Service WHERE ServiceID = OLD.ServiceID;
END;

DROP VIEW IF EXISTS VehicleServiceDetail;
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

DROP VIEW IF EXISTS LatestVehicleService;
CREATE VIEW LatestVehicleService AS
SELECT d.VehicleServiceID AS VehicleServiceID,
       latest.VehicleID AS VehicleID,
       latest.ServiceID AS ServiceID,
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
FROM (SELECT VehicleID, ServiceID, MAX(DatePerformed) AS LastDate
      FROM VehicleService
      GROUP BY VehicleID, ServiceID) AS latest
JOIN VehicleServiceDetail AS d
  ON d.VehicleServiceID = (SELECT MAX(x.VehicleServiceID)
                           FROM VehicleService AS x
                           WHERE x.VehicleID = latest.VehicleID
                             AND x.ServiceID = latest.ServiceID
                             AND x.DatePerformed IS latest.LastDate);

UPDATE SystemData SET Value = '1.2' WHERE Key = 'Schema Version';
