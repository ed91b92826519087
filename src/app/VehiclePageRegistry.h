#pragma once

// Gives the vehicle menu and the vehicle tab bar (VehiclePages) the pages this build has.
// Called once at launch, before the vehicle list shows.
void registerVehiclePages();
