-- The database of version 1.0 (also the format of the legacy "dovrin.sqlite"): no fill-up
-- types, no vehicle order, no indexes or views. Tests upgrade it with the shipped scripts.
CREATE TABLE SystemData (
    Key TEXT PRIMARY KEY,
    Value TEXT
);
INSERT INTO SystemData (Key, Value) VALUES ('Schema Version', '1.0');
CREATE TABLE Vehicle (
    VehicleID INTEGER PRIMARY KEY AUTOINCREMENT,
    Name TEXT,
    LicensePlate TEXT,
    Make TEXT,
    Model TEXT,
    Year INTEGER NOT NULL DEFAULT 0,
    Odometer INTEGER NOT NULL DEFAULT 0,
    Notes TEXT
);
CREATE TABLE Service (
    ServiceID INTEGER PRIMARY KEY,
    Name TEXT,
    FrequencyInMiles INTEGER NOT NULL DEFAULT 0,
    FrequencyInMonths INTEGER NOT NULL DEFAULT 0
);
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
CREATE TABLE Fillup (
    FillupID INTEGER PRIMARY KEY,
    VehicleID INTEGER NOT NULL,
    Date TEXT,
    Odometer INTEGER NOT NULL DEFAULT 0,
    Quantity REAL NOT NULL DEFAULT 0,
    CostPerUnit REAL NOT NULL DEFAULT 0,
    Units INTEGER NOT NULL DEFAULT 0,
    Notes TEXT
);

-- Two cars with a little history, and rows a deleted third car left behind.
INSERT INTO Vehicle (VehicleID, Name, Make, Model, Year, Odometer) VALUES (1, 'Daily', 'Honda', 'Civic', 2015, 61000);
INSERT INTO Vehicle (VehicleID, Name, Make, Model, Year, Odometer) VALUES (2, 'Truck', 'Ford', 'F-150', 2012, 98000);
INSERT INTO Service (ServiceID, Name, FrequencyInMiles, FrequencyInMonths) VALUES (1, 'Oil Change', 5000, 6);
INSERT INTO Service (ServiceID, Name, FrequencyInMiles, FrequencyInMonths) VALUES (2, 'Oil Change', 5000, 6);
INSERT INTO Service (ServiceID, Name, FrequencyInMiles, FrequencyInMonths) VALUES (3, 'Orphan', 1000, 1);
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes) VALUES (1, 1, '2024-01-10', 58000, 45.5, 'synthetic');
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes) VALUES (2, 2, NULL, 0, 0, '');
INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes) VALUES (3, 3, '2023-01-01', 100, 10, '');
INSERT INTO Repair (VehicleID, Name, DatePerformed, Odometer, Cost, Notes) VALUES (1, 'Wiper motor', '2024-02-02', 59000, 120, '');
INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes) VALUES (1, '2024-05-01', 60000, 10, 3.5, 1, '');
INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes) VALUES (1, '2024-05-20', 60300, 10, 3.6, 1, '');
INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, Notes) VALUES (3, '2023-05-20', 300, 10, 3.6, 1, '');
