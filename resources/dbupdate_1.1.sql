-- 1.1: fill-ups get a type (Full, Partial, Reset; earlier ones were all Full) and vehicles
-- a position in the user's list (earlier ones keep the order they were created in).
ALTER TABLE Fillup ADD COLUMN Type INTEGER NOT NULL DEFAULT 0;
ALTER TABLE Vehicle ADD COLUMN RowOrder INTEGER NOT NULL DEFAULT 0;
UPDATE Vehicle SET RowOrder = (SELECT COUNT(*) FROM Vehicle AS earlier WHERE earlier.VehicleID < Vehicle.VehicleID);
UPDATE SystemData SET Value = '1.1' WHERE Key = 'Schema Version';
