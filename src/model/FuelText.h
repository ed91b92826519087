#pragma once

#include <string>

// Fuel values as text, labelled with the units of the current settings. The value must
// already be in that unit; nothing is converted here.

std::string FormatFuel(float quantity); // "12.500gal"
std::string FormatFuelCostPerUnit(float price); // "$1.20/L"
std::string FormatFuelEconomy(float value); // "28.50 MPG"
std::string FormatFuelEfficiency(float value); // "3.51 gal/100mi"
